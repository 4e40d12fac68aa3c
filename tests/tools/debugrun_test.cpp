// The program debugged as Run Application runs it: its output, input and exit line are the
// captured run's, it stops at breakpoints and ends with Continue or Stop.
#include "tools/debugrun.h"

#include "support/qtprinters.h"
#include "support/testenvironment.h"
#include "tools/processrunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

namespace {

using javaservice::DebugStop;

using testing_support::processEventsUntil;

const QByteArray kGreeter = R"(import java.util.Scanner;

public class Greeter {
    public static void main(String[] args) {
        Scanner in = new Scanner(System.in);
        String name = in.nextLine();
        String greeting = "Hello, " + name;
        System.out.println(greeting);
        while (args.length > 0) {
            greeting = greeting + "!";
        }
    }
}
)";

class DebugRunTest : public testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo(jdk + "/bin/javac").isExecutable()) {
            GTEST_SKIP() << "no JDK found";
        }
        folder = testing_support::makeScratchFolder("debugrun");
        testing_support::writeFileIn(folder, "Greeter.java", kGreeter);
        QProcess javac;
        javac.setWorkingDirectory(folder);
        javac.start(jdk + "/bin/javac", {"-g", "Greeter.java"});
        ASSERT_TRUE(javac.waitForFinished(120000));
        ASSERT_EQ(javac.exitCode(), 0);
    }
    void TearDown() override {
        run.reset();
        EXPECT_TRUE(processEventsUntil([] { return !IsProcessRunning(); }));
    }

    void debug(const QString &commandLine) {
        run = std::make_unique<DebugRun>();
        QObject::connect(run.get(), &DebugRun::ended,
                         [this](const QString &error) { endings << error; });
        DebugRun::Launch launch;
        launch.program = jdk + "/bin/java";
        launch.commandLine = commandLine;
        launch.folder = folder;
        launch.jdkFolder = jdk;
        launch.helpFolders = {QDir::cleanPath(TARVO_TEST_DATA_DIR "/../../../res/help")};
        launch.cacheRoot = testing_support::runFolder() + "/cache";
        run->start(launch, {{"Greeter.java", 8}},
                   [this](std::unique_ptr<CProcessRunner> runner) { started = std::move(runner); });
        QObject::connect(&run->session(), &javaservice::DebugSession::stopped,
                         [this](const DebugStop &stop) { stops.append(stop); });
    }

    const QString jdk = testing_support::installedJdk();
    QString folder;
    std::unique_ptr<DebugRun> run;
    std::unique_ptr<CProcessRunner> started;
    QList<DebugStop> stops;
    QStringList endings;
};

TEST_F(DebugRunTest, ProgramReadsTypedInputStopsAndContinuesToTheExitLine) {
    debug("java Greeter");
    ASSERT_TRUE(processEventsUntil([&] { return IsProcessInputOpen() || !endings.isEmpty(); }));
    EXPECT_TRUE(started != nullptr);
    EXPECT_TRUE(run->isActive());
    EXPECT_TRUE(SendProcessInput("Ada"));
    ASSERT_TRUE(processEventsUntil([&] { return !stops.isEmpty() || !endings.isEmpty(); }))
        << ProcessOutputText().toStdString();
    ASSERT_EQ(stops.size(), 1);
    EXPECT_EQ(stops[0].frames[0].line, 8);
    EXPECT_TRUE(run->session().resume());
    ASSERT_TRUE(processEventsUntil([&] { return !IsProcessRunning() && !endings.isEmpty(); }));
    EXPECT_EQ(endings, QStringList{QString()});
    const QByteArray output = ProcessOutputText();
    EXPECT_TRUE(output.endsWith("Ada\r\nHello, Ada\r\nExit code: 0\r\nNo Errors"))
        << output.toStdString();
    EXPECT_FALSE(run->isActive());
}

TEST_F(DebugRunTest, StopEndsTheProgramAsAnAbortDoes) {
    debug("java Greeter forever");
    ASSERT_TRUE(processEventsUntil([&] { return IsProcessInputOpen() || !endings.isEmpty(); }));
    SendProcessInput("Bo");
    ASSERT_TRUE(processEventsUntil([&] { return !stops.isEmpty(); }));
    ASSERT_TRUE(run->session().resume());
    run->stop();
    ASSERT_TRUE(processEventsUntil([&] { return !IsProcessRunning() && !endings.isEmpty(); }));
    EXPECT_TRUE(ProcessOutputText().endsWith("Exit code: 11\r\nProcess terminated by user."));
}

TEST_F(DebugRunTest, ProgramThatEndsBeforeConnectingEndsTheSession) {
    debug("java -no-such-option Greeter");
    ASSERT_TRUE(processEventsUntil([&] { return !endings.isEmpty(); }, 30000));
    EXPECT_FALSE(IsProcessRunning());
    EXPECT_TRUE(ProcessOutputText().contains("Exit code: 1")) << ProcessOutputText().toStdString();
}

} // namespace
