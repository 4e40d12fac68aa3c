#include "app/jdkprobe.h"
#include "services/appsettings.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The version is found in the compiler's output whatever comes before it and whatever the line
// end; output without a version line gives none.
TEST(JdkProbe, VersionIsReadFromTheCompilersOutput) {
    const std::pair<QByteArray, QString> cases[] = {
        {"javac 1.8.0_292\r\n", QStringLiteral("1.8.0_292")},
        {"Picked up JAVA_TOOL_OPTIONS: -Dfile.encoding=UTF8\njavac 21\n", QStringLiteral("21")},
        {"error: invalid flag: -version\n", QString()}};
    for (const auto &[output, version] : cases) {
        EXPECT_EQ(JdkProbe::versionIn(output), version) << output.constData();
    }
}

// End to end: the probe runs the installed compiler and reports what it says of itself.
TEST(JdkProbe, RealJdkTellsItsVersion) {
    const QString javacPath = AppSettings::defaultJdkFolder() + QStringLiteral("/bin/javac");
    if (!QFileInfo(javacPath).isExecutable()) {
        GTEST_SKIP() << "no JDK found";
    }
    QProcess javac;
    javac.setProcessChannelMode(QProcess::MergedChannels);
    javac.start(javacPath, {QStringLiteral("-version")});
    ASSERT_TRUE(javac.waitForFinished(60000));
    const QString expected = JdkProbe::versionIn(javac.readAll());
    ASSERT_FALSE(expected.isEmpty());

    JdkProbe probe;
    QList<std::pair<JdkProbe::Result, QString>> answers;
    QEventLoop loop;
    QObject::connect(&probe, &JdkProbe::finished, &loop, [&](JdkProbe::Result r, const QString &v) {
        answers.append({r, v});
        loop.quit();
    });
    probe.probe(AppSettings::defaultJdkFolder());
    if (answers.isEmpty()) {
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    ASSERT_EQ(answers.size(), 1);
    EXPECT_EQ(answers.first().first, JdkProbe::Result::Found);
    EXPECT_EQ(answers.first().second, expected);
}

} // namespace
