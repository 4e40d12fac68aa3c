#include "app/jdkprobe.h"
#include "services/appsettings.h"
#include "support/casename.h"
#include "support/testenvironment.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace {

using testing_support::makeScratchFolder;
using testing_support::writeFileIn;

struct VersionCase {
    const char *name;
    QByteArray output;
    QString version;
};

class JavacVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(JavacVersion, IsReadFromTheCompilersOutput) {
    EXPECT_EQ(JdkProbe::versionIn(GetParam().output), GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(
    JdkProbe, JavacVersion,
    testing::Values(VersionCase{"PlainVersionLine", "javac 17.0.15\n", "17.0.15"},
                    VersionCase{"OldCompilerOnStandardError", "javac 1.8.0_292\r\n", "1.8.0_292"},
                    VersionCase{"AfterANoteAboutToolOptions",
                                "Picked up JAVA_TOOL_OPTIONS: -Dfile.encoding=UTF8\njavac 21\n",
                                "21"},
                    VersionCase{"NoVersionLine", "error: invalid flag: -version\n", ""},
                    VersionCase{"NoOutput", "", ""}),
    testing_support::CaseName());

// A folder that looks like a JDK whose bin/javac is the given shell script.
QString fakeJdk(const QByteArray &script) {
    const QString folder = makeScratchFolder(QStringLiteral("fakejdk"));
    const QString javac = writeFileIn(folder, QStringLiteral("bin/javac"), "#!/bin/sh\n" + script);
    QFile::setPermissions(javac, QFile::permissions(javac) | QFileDevice::ExeOwner);
    return folder;
}

struct Answer {
    JdkProbe::Result result;
    QString version;
};

// Every answer the probe gives within the wait, which ends at the first one.
std::vector<Answer> probeAnswers(JdkProbe &probe, const QString &folder) {
    std::vector<Answer> answers;
    QEventLoop loop;
    QObject::connect(&probe, &JdkProbe::finished, &loop,
                     [&](JdkProbe::Result result, const QString &version) {
                         answers.push_back({result, version});
                         loop.quit();
                     });
    probe.probe(folder);
    if (answers.empty()) {
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return answers;
}

TEST(JdkProbe, FolderWithoutRunnableJavacSaysSo) {
    const QString plainFile = makeScratchFolder(QStringLiteral("plainjavac"));
    writeFileIn(plainFile, QStringLiteral("bin/javac"), "not a program");
    JdkProbe probe;
    for (const QString &folder : {QString(), makeScratchFolder(QStringLiteral("nojdk")),
                                  QStringLiteral("/no/such/folder"), plainFile}) {
        const std::vector<Answer> answers = probeAnswers(probe, folder);
        ASSERT_EQ(answers.size(), 1u) << folder.toStdString();
        EXPECT_EQ(answers[0].result, JdkProbe::Result::NoJavac) << folder.toStdString();
    }
}

TEST(JdkProbe, VersionPrintedOnEitherStreamIsFound) {
    JdkProbe probe;
    std::vector<Answer> answers = probeAnswers(probe, fakeJdk("echo 'javac 99.1'\n"));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].result, JdkProbe::Result::Found);
    EXPECT_EQ(answers[0].version, QStringLiteral("99.1"));

    answers = probeAnswers(probe, fakeJdk("echo 'javac 1.8.0' >&2\nexit 2\n"));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].version, QStringLiteral("1.8.0"));
}

TEST(JdkProbe, JavacThatPrintsNoVersionGivesNoAnswer) {
    JdkProbe probe;
    const std::vector<Answer> answers = probeAnswers(probe, fakeJdk("echo broken\nexit 1\n"));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].result, JdkProbe::Result::NoAnswer);
}

TEST(JdkProbe, NewProbeDropsTheOneStillRunning) {
    JdkProbe probe;
    std::vector<Answer> answers;
    QObject::connect(&probe, &JdkProbe::finished,
                     [&](JdkProbe::Result result, const QString &version) {
                         answers.push_back({result, version});
                     });
    probe.probe(fakeJdk("exec sleep 30\n"));
    ASSERT_TRUE(probe.isRunning());
    probeAnswers(probe, fakeJdk("echo 'javac 2'\n"));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].version, QStringLiteral("2"));
}

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
    const std::vector<Answer> answers = probeAnswers(probe, jdk);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].result, JdkProbe::Result::Found);
    EXPECT_EQ(answers[0].version, expected);
}

} // namespace
