#include "app/jdkprobe.h"
#include "services/appsettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <tuple>

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

QString writeJavac(const QString &jdkFolder, const QByteArray &script) {
    QDir().mkpath(jdkFolder + "/bin");
    QFile javac(JdkProbe::javacOf(jdkFolder));
    if (!javac.open(QIODevice::WriteOnly)) {
        return {};
    }
    javac.write("#!/bin/sh\n" + script + "\n");
    javac.setPermissions(javac.permissions() | QFileDevice::ExeOwner);
    return javac.fileName();
}

qint64 residentKilobytes() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLongLong();
        }
    }
    return 0;
}

// A bin/javac that prints without end: the probe answers as soon as it has read a version line
// (the program never ends, so a Found can only come early), or once the first kilobytes it reads
// hold none, keeping no more than those few kilobytes.
TEST(JdkProbe, CompilerThatPrintsWithoutEndNeitherFillsMemoryNorKeepsItWaiting) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const std::tuple<QString, QByteArray, JdkProbe::Result, QString> cases[] = {
        {"/versioned", "echo 'javac 99.0.1'\nexec yes 'spam spam spam'", JdkProbe::Result::Found,
         "99.0.1"},
        {"/endless", "exec yes 'spam spam spam'", JdkProbe::Result::NoAnswer, ""},
    };
    for (const auto &[name, script, result, version] : cases) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_FALSE(writeJavac(scratch.path() + name, script).isEmpty());
        JdkProbe probe(nullptr, 3000);
        std::optional<std::pair<JdkProbe::Result, QString>> answer;
        QObject::connect(&probe, &JdkProbe::finished, [&](JdkProbe::Result r, const QString &v) {
            answer = {r, v};
        });
        const qint64 before = residentKilobytes();
        qint64 peak = before;
        QElapsedTimer elapsed;
        elapsed.start();
        QEventLoop loop;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, &loop, [&] {
            peak = std::max(peak, residentKilobytes());
            if (answer || elapsed.elapsed() > 30000) {
                loop.quit();
            }
        });
        sampler.start(50);
        probe.probe(scratch.path() + name);
        loop.exec();
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(answer->first, result);
        EXPECT_EQ(answer->second, version);
        EXPECT_LT(peak - before, 32 * 1024) << "kB more resident while probing";
    }
}

} // namespace
