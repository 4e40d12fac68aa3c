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
    const struct {
        QByteArray output;
        QString version;
    } cases[] = {
        {"javac 17.0.15\n", QStringLiteral("17.0.15")},
        {"javac 1.8.0_292\r\n", QStringLiteral("1.8.0_292")},
        {"Picked up JAVA_TOOL_OPTIONS: -Dfile.encoding=UTF8\njavac 21\n", QStringLiteral("21")},
        {"error: invalid flag: -version\n", QString()},
        {"", QString()}};
    for (const auto &test : cases) {
        EXPECT_EQ(JdkProbe::versionIn(test.output), test.version) << test.output.constData();
    }
}

// End to end: the probe runs the installed compiler and reports what it says of itself.
TEST(JdkProbe, RealJdkTellsItsVersion) {
    const QString jdk = AppSettings::defaultJdkFolder();
    if (!QFileInfo(jdk + QStringLiteral("/bin/javac")).isExecutable()) {
        GTEST_SKIP() << "no JDK found";
    }
    QProcess javac;
    javac.setProcessChannelMode(QProcess::MergedChannels);
    javac.start(jdk + QStringLiteral("/bin/javac"), {QStringLiteral("-version")});
    ASSERT_TRUE(javac.waitForFinished(60000));
    const QString expected = JdkProbe::versionIn(javac.readAll());
    ASSERT_FALSE(expected.isEmpty());

    JdkProbe probe;
    int answers = 0;
    JdkProbe::Result result{};
    QString version;
    QEventLoop loop;
    QObject::connect(&probe, &JdkProbe::finished, &loop, [&](JdkProbe::Result r, const QString &v) {
        ++answers;
        result = r;
        version = v;
        loop.quit();
    });
    probe.probe(jdk);
    if (answers == 0) {
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    ASSERT_EQ(answers, 1);
    EXPECT_EQ(result, JdkProbe::Result::Found);
    EXPECT_EQ(version, expected);
}

} // namespace
