// The client and the real Java service on the installed JDK: tools run inside it print what the
// programs print, checks find the errors of unsaved texts, stale answers are never heard, a
// service that died is replaced, and a JDK whose Java has no compiler is told once.
#include "javaservice/javaserviceclient.h"

#include "javaservice/helpercache.h"
#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <signal.h>

#include <functional>

namespace {

using javaservice::Diagnostic;
using javaservice::Failure;
using javaservice::JavaServiceClient;
using javaservice::RequestId;
using testing_support::makeScratchFolder;
using testing_support::writeFileIn;

using testing_support::processEventsUntil;

// What the client said about each request.
struct Heard {
    QMap<RequestId, QByteArray> output;
    QMap<RequestId, int> exitCode;
    QMap<RequestId, QList<Diagnostic>> diagnostics;
    QMap<RequestId, Failure> failures;
    QStringList unavailable;

    bool answered(RequestId id) const {
        return exitCode.contains(id) || diagnostics.contains(id) || failures.contains(id);
    }
};

class ServiceClientTest : public testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo(jdk + "/bin/javac").isExecutable()) {
            GTEST_SKIP() << "no JDK found";
        }
        folder = makeScratchFolder("service");
        JavaServiceClient::Settings settings;
        settings.helpFolders = {QDir::cleanPath(TARVO_TEST_DATA_DIR "/../../../res/help")};
        settings.cacheRoot = testing_support::runFolder() + "/cache";
        client = std::make_unique<JavaServiceClient>(settings);
        QObject::connect(
            client.get(), &JavaServiceClient::toolOutput,
            [this](RequestId id, const QByteArray &data) { heard.output[id] += data; });
        QObject::connect(client.get(), &JavaServiceClient::toolFinished,
                         [this](RequestId id, int exit) { heard.exitCode[id] = exit; });
        QObject::connect(client.get(), &JavaServiceClient::checked,
                         [this](RequestId id, const QList<Diagnostic> &found) {
                             heard.diagnostics[id] = found;
                         });
        QObject::connect(client.get(), &JavaServiceClient::failed,
                         [this](RequestId id, Failure failure, const QString &) {
                             heard.failures[id] = failure;
                         });
        QObject::connect(
            client.get(), &JavaServiceClient::unavailable,
            [this](const QString &jdkFolder, const QString &) { heard.unavailable << jdkFolder; });
    }
    bool waitFor(RequestId id) {
        return processEventsUntil([&] { return heard.answered(id); });
    }
    // javac run as a program in the folder: its output, stdout and stderr joined.
    QByteArray childJavac(const QStringList &arguments, int *exitCode) {
        QProcess javac;
        javac.setWorkingDirectory(folder);
        javac.setProcessChannelMode(QProcess::MergedChannels);
        javac.start(jdk + "/bin/javac", arguments);
        javac.waitForFinished(120000);
        *exitCode = javac.exitCode();
        return javac.readAll();
    }

    const QString jdk = testing_support::installedJdk();
    QString folder;
    std::unique_ptr<JavaServiceClient> client;
    Heard heard;
};

TEST_F(ServiceClientTest, JavacInsideTheServicePrintsWhatTheProgramPrints) {
    writeFileIn(folder, "A.java", "class A { B b; int x = \"s\"; }\n");
    writeFileIn(folder, "B.java", "class B { void f() { undefined(); } }\n");
    const QStringList arguments{"A.java"};
    int childExit = 0;
    const QByteArray child = childJavac(arguments, &childExit);
    const RequestId id = client->runTool(jdk, folder, "javac", arguments);
    ASSERT_TRUE(waitFor(id));
    EXPECT_EQ(heard.output[id], child);
    EXPECT_EQ(heard.exitCode[id], childExit);
    EXPECT_EQ(childExit, 1);
    // The class path is the folder the service runs in, as for the program.
    writeFileIn(folder, "B.java", "class B {}\n");
    writeFileIn(folder, "A.java", "class A { B b; }\n");
    const RequestId clean = client->runTool(jdk, folder, "javac", arguments);
    ASSERT_TRUE(waitFor(clean));
    EXPECT_EQ(heard.output[clean], "");
    EXPECT_EQ(heard.exitCode[clean], 0);
    EXPECT_TRUE(QFileInfo::exists(folder + "/A.class"));
}

TEST_F(ServiceClientTest, CheckFindsTheErrorsOfUnsavedTextsAndCancelledChecksAreNeverHeard) {
    writeFileIn(folder, "src/p/A.java", "package p;\nclass A { }\n");
    writeFileIn(folder, "src/p/B.java", "package p;\nclass B { }\n");
    javaservice::CheckRequest request;
    request.path = folder + "/src/p/A.java";
    request.text = "package p;\nclass A {\n    int n = new B().size();\n    String s = 1;\n}\n";
    request.sourcePath = folder + "/src";
    // B's window is not saved: its unsaved text has the method A calls.
    request.overlays = {{folder + "/src/p/B.java", "package p;\nclass B { int size() { return "
                                                   "0; } }\n"}};
    request.options = {"-Xlint:all"};
    const RequestId stale = client->check(jdk, folder, request);
    client->cancel(stale);
    const RequestId id = client->check(jdk, folder, request);
    ASSERT_TRUE(waitFor(id));
    ASSERT_EQ(heard.diagnostics[id].size(), 1);
    const Diagnostic &error = heard.diagnostics[id][0];
    EXPECT_EQ(error.kind, Diagnostic::Kind::Error);
    EXPECT_EQ(error.line, 4);
    EXPECT_EQ(request.text.mid(error.start, error.end - error.start), "1");
    EXPECT_TRUE(error.message.contains("int cannot be converted to"))
        << error.message.toStdString();
    EXPECT_FALSE(heard.answered(stale));
    // Nothing was written.
    EXPECT_FALSE(QFileInfo::exists(folder + "/src/p/A.class"));
    EXPECT_FALSE(QFileInfo::exists(folder + "/src/p/B.class"));
}

TEST_F(ServiceClientTest, ServiceKilledBetweenTwoRequestsIsStartedAgain) {
    writeFileIn(folder, "A.java", "class A {}\n");
    const RequestId first = client->runTool(jdk, folder, "javac", {"A.java"});
    ASSERT_TRUE(waitFor(first));
    const qint64 process = client->serviceProcessId(jdk, folder);
    ASSERT_GT(process, 0);
    kill(pid_t(process), SIGKILL);
    ASSERT_TRUE(processEventsUntil([&] { return client->serviceCount() == 0; }));
    const RequestId second = client->runTool(jdk, folder, "javac", {"A.java"});
    ASSERT_TRUE(waitFor(second));
    EXPECT_EQ(heard.exitCode[second], 0);
    EXPECT_NE(client->serviceProcessId(jdk, folder), process);
    EXPECT_TRUE(heard.unavailable.isEmpty());
}

TEST_F(ServiceClientTest, AbortedRequestIsNeverHeardAndItsServiceEnds) {
    writeFileIn(folder, "A.java", "class A {}\n");
    const RequestId warm = client->runTool(jdk, folder, "javac", {"A.java"});
    ASSERT_TRUE(waitFor(warm));
    const RequestId aborted = client->runTool(jdk, folder, "javac", {"A.java"});
    client->abort(aborted);
    ASSERT_TRUE(processEventsUntil([&] { return client->serviceCount() == 0; }));
    processEventsUntil([] { return false; }, 200);
    EXPECT_FALSE(heard.answered(aborted));
    EXPECT_TRUE(heard.unavailable.isEmpty());
}

TEST_F(ServiceClientTest, IdleServiceLetsItselfGo) {
    client->settings().idleMs = 300;
    writeFileIn(folder, "A.java", "class A {}\n");
    const RequestId id = client->runTool(jdk, folder, "javac", {"A.java"});
    ASSERT_TRUE(waitFor(id));
    EXPECT_EQ(client->serviceCount(), 1);
    EXPECT_TRUE(processEventsUntil([&] { return client->serviceCount() == 0; }, 20000));
}

// A JDK folder whose java cannot load the compiler (only the base module): the service cannot
// serve it, every request fails as unavailable, and the user is told once.
TEST_F(ServiceClientTest, JdkWhoseJavaHasNoCompilerIsUnavailableAndToldOnce) {
    const QString fake = folder + "/jdk";
    QDir().mkpath(fake + "/bin");
    QFile::copy(jdk + "/release", fake + "/release");
    for (const auto &[tool, extra] :
         {std::pair{"javac", ""}, {"java", " --limit-modules java.base"}}) {
        const QString script =
            writeFileIn(fake, QString("bin/") + tool,
                        "#!/bin/sh\nexec " + (jdk + "/bin/").toUtf8() + tool + extra + " \"$@\"\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const RequestId first = client->runTool(fake, folder, "javac", {"A.java"});
    const RequestId second =
        client->check(fake, folder, {folder + "/A.java", "class A {}", {}, {}, {}});
    ASSERT_TRUE(waitFor(first) && waitFor(second));
    EXPECT_EQ(heard.failures.value(first), Failure::Unavailable);
    EXPECT_EQ(heard.failures.value(second), Failure::Unavailable);
    const RequestId third = client->runTool(fake, folder, "javac", {"A.java"});
    ASSERT_TRUE(waitFor(third));
    EXPECT_EQ(heard.failures.value(third), Failure::Unavailable);
    EXPECT_EQ(heard.unavailable, QStringList{fake});
    EXPECT_TRUE(client->isUnavailable(fake));
    EXPECT_FALSE(client->isUnavailable(jdk));
}

} // namespace
