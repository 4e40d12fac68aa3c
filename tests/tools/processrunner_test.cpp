#include "tools/processrunner.h"

#include "childscripts.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using tools_test::waitUntil;
using tools_test::writeScript;

const QString kShell = QStringLiteral("/bin/sh");

// Every test starts and ends without a run in progress: the runner state is process-wide.
class ProcessRunnerTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = QFileInfo(testing_support::makeScratchFolder(QStringLiteral("runner")))
                       .canonicalFilePath();
    }
    void TearDown() override {
        if (IsProcessRunning()) {
            m_runner.Terminate(kUserAbortExitCode);
        }
        EXPECT_EQ(waitUntil([] { return !IsProcessRunning(); }), true);
    }

    // Runs a script written from body to its end and returns the captured text.
    QByteArray runScript(const QByteArray &body) {
        const QString script = writeScript(m_folder, QStringLiteral("child.sh"), body);
        EXPECT_EQ(m_runner.Start(script, QStringLiteral("child"), m_folder), true);
        return waitForEnd();
    }
    QByteArray waitForEnd() {
        EXPECT_EQ(waitUntil([] { return !IsProcessRunning(); }), true);
        return ProcessOutputText();
    }
    void waitForOutput(const QByteArray &text) {
        EXPECT_EQ(waitUntil([&] { return ProcessOutputText().contains(text); }), true);
    }

    CProcessRunner m_runner;
    QString m_folder;
};

struct CapturedRunCase {
    const char *name;
    const char *script;
    const char *output;
};

class CapturedRunTest : public ProcessRunnerTest,
                        public testing::WithParamInterface<CapturedRunCase> {};

TEST_P(CapturedRunTest, CapturesOutputExitLineAndVerdict) {
    EXPECT_EQ(runScript(GetParam().script), QByteArray(GetParam().output));
}

const CapturedRunCase kCapturedRuns[] = {
    {"NothingWrittenGivesOnlyExitLineAndVerdict", "exit 0", "Exit code: 0\r\nNo Errors"},
    {"LastLineWithoutLineEndJoinsTheExitLine", "printf 'a\\nb'", "a\r\nbExit code: 0\r\nNo Errors"},
    {"CrLfAndLoneCrStay", "printf 'a\\r\\nb\\rc\\n'", "a\r\nb\rc\r\nExit code: 0\r\nNo Errors"},
    {"StderrAndStdoutInterleaveInOrder", "echo out1; echo err1 >&2; echo out2; echo err2 >&2",
     "out1\r\nerr1\r\nout2\r\nerr2\r\nExit code: 0\r\nNo Errors"},
    {"NulBytesAreDroppedNotTheRestOfTheRead", "printf 'ab\\000cd\\n\\000ef\\n'",
     "abcd\r\nef\r\nExit code: 0\r\nNo Errors"},
    {"StandardInputIsEmpty", "cat; echo done", "done\r\nExit code: 0\r\nNo Errors"},
    {"NoTerminal", "[ -t 0 ] || [ -t 1 ] || echo no-tty", "no-tty\r\nExit code: 0\r\nNo Errors"},
    {"ExitThreeIsAnError", "exit 3", "Exit code: 3\r\nThere were errors"},
    {"ExitElevenReadsAsTerminated", "exit 11", "Exit code: 11\r\nProcess terminated by user."},
    {"DeathBySignalIsNegative", "kill -SEGV $$", "Exit code: -11\r\nThere were errors"},
};

INSTANTIATE_TEST_SUITE_P(Scripts, CapturedRunTest, testing::ValuesIn(kCapturedRuns),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ProcessRunnerTest, ChildRunsInFolderWithEnvironmentAndOnlyThePipe) {
    qputenv("TARVO_RUNNER_PROBE", "probe value");
    const QByteArrayList lines =
        runScript("pwd -P; echo \"$TARVO_RUNNER_PROBE\"; ls -l /proc/$$/fd").split('\n');
    qunsetenv("TARVO_RUNNER_PROBE");
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], m_folder.toUtf8() + "\r");
    EXPECT_EQ(lines[1], QByteArray("probe value\r"));
    EXPECT_EQ(lines[lines.size() - 2] + lines.last(), QByteArray("Exit code: 0\rNo Errors"));

    // Standard input reads /dev/null; the one pipe is output and error, no read end.
    QByteArrayList pipes;
    QByteArray input;
    for (const QByteArray &line : lines) {
        const qsizetype arrow = line.indexOf(" -> ");
        const QByteArray descriptor = line.left(arrow).split(' ').last();
        const QByteArray target = line.mid(arrow + 4).trimmed();
        if (arrow >= 0 && target.startsWith("pipe:")) {
            pipes.append(descriptor + " " + target);
        } else if (arrow >= 0 && descriptor == "0") {
            input = target;
        }
    }
    ASSERT_EQ(pipes.size(), 2);
    EXPECT_EQ(pipes[0].mid(2), pipes[1].mid(2));
    EXPECT_EQ(pipes[0].left(2) + pipes[1].left(2), QByteArray("1 2 "));
    EXPECT_EQ(input, QByteArray("/dev/null"));
}

TEST_F(ProcessRunnerTest, ArgumentsFollowWindowsSplittingAndWildcardExpansion) {
    for (const char *name : {"B.class", "A.class"}) {
        QFile(m_folder + "/" + name).open(QIODevice::WriteOnly);
    }
    writeScript(m_folder, QStringLiteral("args.sh"), "tr '\\000' '\\n' < /proc/$$/cmdline");
    ASSERT_EQ(
        m_runner.Start(kShell, R"(javac args.sh "My File.java" *.class "*.class" a\"b)", m_folder),
        true);
    EXPECT_EQ(waitForEnd(), QByteArray("javac\r\nargs.sh\r\nMy File.java\r\nA.class\r\nB.class\r\n"
                                       "*.class\r\na\"b\r\nExit code: 0\r\nNo Errors"));
}

TEST_F(ProcessRunnerTest, SecondStartWhileRunningFailsAndLeavesTheRunAlone) {
    const QString gate = m_folder + "/gate";
    ASSERT_EQ(mkfifo(gate.toLocal8Bit().constData(), 0600), 0);
    const QString script = writeScript(m_folder, "gated.sh", "echo first; read x < gate; echo x");
    ASSERT_EQ(m_runner.Start(script, "gated", m_folder), true);
    waitForOutput("first\r\n");

    CProcessRunner second;
    EXPECT_EQ(second.Start(kShell, "sh -c 'echo second'", m_folder), false);
    const ProcessOutputUpdate during = ProcessOutputSince(0);
    EXPECT_EQ(during.added, QByteArray("first\r\n"));
    EXPECT_EQ(during.length, 7);
    EXPECT_EQ(during.running, true);

    const int gateEnd = open(gate.toLocal8Bit().constData(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(gateEnd, 0);
    EXPECT_EQ(write(gateEnd, "x\n", 2), 2);
    close(gateEnd);
    waitForEnd();
    const ProcessOutputUpdate after = ProcessOutputSince(during.length);
    EXPECT_EQ(after.added, QByteArray("x\r\nExit code: 0\r\nNo Errors"));
    EXPECT_EQ(after.running, false);
    EXPECT_EQ(ProcessOutputSince(after.length + 5).added, QByteArray());
}

TEST_F(ProcessRunnerTest, TerminateEndsTheChildAndItsGrandchildren) {
    const QString script = writeScript(m_folder, "parent.sh",
                                       "sleep 1000 & echo $! > grandchild.pid; echo started; wait");
    ASSERT_EQ(m_runner.Start(script, "parent", m_folder), true);
    waitForOutput("started\r\n");
    const pid_t grandchild = tools_test::readPidFile(m_folder + "/grandchild.pid");

    EXPECT_EQ(m_runner.Terminate(kUserAbortExitCode), true);
    EXPECT_EQ(waitForEnd(), QByteArray("started\r\nExit code: 11\r\nProcess terminated by user."));
    EXPECT_EQ(waitUntil([&] { return !tools_test::processRuns(grandchild); }), true);
}

TEST_F(ProcessRunnerTest, TerminateAfterTheEndTerminatesNothing) {
    EXPECT_EQ(runScript("exit 0"), QByteArray("Exit code: 0\r\nNo Errors"));
    EXPECT_EQ(m_runner.Terminate(kUserAbortExitCode), false);
    EXPECT_EQ(ProcessOutputText(), QByteArray("Exit code: 0\r\nNo Errors"));
}

TEST_F(ProcessRunnerTest, OutputClosedWhileRunningReportsStillActiveAndIsReapedLater) {
    bool running = true;
    const QByteArray output = runScript("echo $$ > child.pid; exec >&- 2>&-; exec sleep 1000");
    EXPECT_EQ(output, QByteArray("Exit code: 259\r\nError - process still active!"));
    ProcessOutputText(&running);
    EXPECT_EQ(running, false);

    const pid_t child = tools_test::readPidFile(m_folder + "/child.pid");
    EXPECT_EQ(tools_test::processRuns(child), true);
    kill(child, SIGKILL);
    EXPECT_EQ(waitUntil([&] { return !tools_test::processExists(child); }), true);
}

struct StartFailureCase {
    const char *name;
    const char *program;
    const char *folder;
};

class StartFailureTest : public ProcessRunnerTest,
                         public testing::WithParamInterface<StartFailureCase> {};

TEST_P(StartFailureTest, ReturnsFalseAndLeavesNothingBehind) {
    const int descriptors = tools_test::openDescriptorCount();
    const QString folder = QString::fromUtf8(GetParam().folder).replace("@", m_folder);
    EXPECT_EQ(m_runner.Start(GetParam().program, "tool x", folder), false);
    EXPECT_EQ(IsProcessRunning(), false);
    EXPECT_EQ(tools_test::openDescriptorCount(), descriptors);
    EXPECT_EQ(tools_test::zombieChildCount(), 0);
}

const StartFailureCase kStartFailures[] = {
    {"MissingProgram", "/nonexistent/bin/javac", "@"},
    {"ProgramIsAFolder", "/usr/bin", "@"},
    {"MissingFolder", "/bin/sh", "@/no such folder"},
};

INSTANTIATE_TEST_SUITE_P(Starts, StartFailureTest, testing::ValuesIn(kStartFailures),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ProcessRunnerTest, TwoHundredRunsLeaveNoDescriptorOrZombie) {
    const QString script = writeScript(m_folder, "quick.sh", "echo run");
    const int descriptors = tools_test::openDescriptorCount();
    for (int run = 0; run < 200; ++run) {
        ASSERT_EQ(m_runner.Start(script, "quick", m_folder), true);
        ASSERT_EQ(waitForEnd(), QByteArray("run\r\nExit code: 0\r\nNo Errors"));
    }
    EXPECT_EQ(tools_test::openDescriptorCount(), descriptors);
    EXPECT_EQ(tools_test::zombieChildCount(), 0);
}

TEST_F(ProcessRunnerTest, CompilesAndRunsJavaWithTheJdkTools) {
    const QString javac = QFileInfo(QStandardPaths::findExecutable("javac")).canonicalFilePath();
    if (javac.isEmpty()) {
        GTEST_SKIP() << "no JDK on PATH";
    }
    const QString bin = QFileInfo(javac).absolutePath();
    QFile source(m_folder + "/Hello.java");
    ASSERT_EQ(source.open(QIODevice::WriteOnly), true);
    source.write("public class Hello {\n  public static void main(String[] a) {\n"
                 "    System.out.println(\"out \" + a.length); System.out.flush();\n"
                 "    System.err.println(\"err\"); System.exit(3);\n  }\n}\n");
    source.close();
    QFile broken(m_folder + "/Broken.java");
    ASSERT_EQ(broken.open(QIODevice::WriteOnly), true);
    broken.write("class Broken { int x = ; }\n");
    broken.close();

    ASSERT_EQ(m_runner.Start(javac, "javac Hello.java", m_folder), true);
    EXPECT_EQ(waitForEnd(), QByteArray("Exit code: 0\r\nNo Errors"));
    ASSERT_EQ(m_runner.Start(bin + "/java", "java Hello \"two words\" x", m_folder), true);
    EXPECT_EQ(waitForEnd(), QByteArray("out 2\r\nerr\r\nExit code: 3\r\nThere were errors"));
    ASSERT_EQ(m_runner.Start(javac, "javac Broken.java", m_folder), true);
    const QByteArray errors = waitForEnd();
    EXPECT_EQ(errors.startsWith("Broken.java:1: error:"), true) << errors.constData();
    EXPECT_EQ(errors.endsWith("Exit code: 1\r\nThere were errors"), true) << errors.constData();
}

} // namespace
