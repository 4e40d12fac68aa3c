#include "tools/processrunner.h"

#include "tools/childprocess.h"

#include "childscripts.h"
#include "support/casename.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdlib>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>

namespace {

using namespace tools_test;

const QString kShell = "/bin/sh";
const QByteArray kNoErrors = "Exit code: 0\r\nNo Errors";

// The runner state is process-wide: every test starts and ends without a run in progress.
class ProcessRunnerTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = QFileInfo(testing_support::makeScratchFolder("runner")).canonicalFilePath();
    }
    void TearDown() override {
        m_runner.Terminate(kUserAbortExitCode);
        EXPECT_EQ(waitUntil([] { return !IsProcessRunning(); }), true);
    }
    QByteArray runToEnd(const QString &program, const QString &commandLine) {
        EXPECT_EQ(m_runner.Start(program, commandLine, m_folder), true);
        EXPECT_EQ(waitUntil([] { return !IsProcessRunning(); }), true);
        return ProcessOutputText();
    }
    QByteArray runScript(const QByteArray &body) {
        return runToEnd(writeScript(m_folder, "child.sh", body), "child");
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
    {"StandardInputIsEmptyAndNoTerminal", "cat; [ -t 0 ] || [ -t 1 ] || echo no-tty",
     "no-tty\r\nExit code: 0\r\nNo Errors"},
    {"ExitThreeIsAnError", "exit 3", "Exit code: 3\r\nThere were errors"},
    {"ExitElevenReadsAsTerminated", "exit 11", "Exit code: 11\r\nProcess terminated by user."},
    {"DeathBySignalIsNegative", "kill -SEGV $$", "Exit code: -11\r\nThere were errors"},
};

INSTANTIATE_TEST_SUITE_P(Scripts, CapturedRunTest, testing::ValuesIn(kCapturedRuns),
                         testing_support::CaseName());

TEST_F(ProcessRunnerTest, ChildGetsSplitExpandedArgumentsFolderAndEnvironment) {
    qputenv("TARVO_RUNNER_PROBE", "probe value");
    QFile(m_folder + "/B.class").open(QIODevice::WriteOnly);
    QFile(m_folder + "/A.class").open(QIODevice::WriteOnly);
    writeScript(m_folder, "args.sh",
                "tr '\\000' '\\n' < /proc/$$/cmdline; pwd -P; echo \"$TARVO_RUNNER_PROBE\"");
    EXPECT_EQ(runToEnd(kShell, R"(javac args.sh "My File.java" *.class "*.class" a\"b)"),
              "javac\r\nargs.sh\r\nMy File.java\r\nA.class\r\nB.class\r\n*.class\r\na\"b\r\n"
                  + m_folder.toUtf8() + "\r\nprobe value\r\n" + kNoErrors);
}

TEST_F(ProcessRunnerTest, SecondStartWhileRunningFailsAndLeavesTheRunAlone) {
    const QByteArray gate = QFile::encodeName(m_folder + "/gate");
    ASSERT_EQ(mkfifo(gate.constData(), 0600), 0);
    const QString script = writeScript(m_folder, "gated.sh", "echo $$; read x < gate; echo x");
    ASSERT_EQ(m_runner.Start(script, "gated", m_folder), true);
    waitForOutput("\r\n");
    const ProcessOutputUpdate during = ProcessOutputSince(0);
    EXPECT_EQ(during.running, true);

    // Standard input is /dev/null; the child holds the pipe as output and error, no read end.
    const QStringList descriptors = descriptorTargets(during.added.trimmed());
    EXPECT_EQ(descriptors.filter("pipe:").size(), 2) << descriptors.join(", ").toStdString();
    EXPECT_EQ(descriptors.value(1).mid(2), descriptors.value(2).mid(2));
    EXPECT_EQ(descriptors.value(0), "0 /dev/null");

    CProcessRunner second;
    EXPECT_EQ(second.Start(kShell, "sh -c 'echo second'", m_folder), false);
    EXPECT_EQ(ProcessOutputText(), during.added);

    const int gateEnd = open(gate.constData(), O_WRONLY | O_CLOEXEC);
    EXPECT_EQ(write(gateEnd, "x\n", 2), 2);
    close(gateEnd);
    EXPECT_EQ(waitUntil([] { return !IsProcessRunning(); }), true);
    const ProcessOutputUpdate after = ProcessOutputSince(during.length);
    EXPECT_EQ(after.added, "x\r\n" + kNoErrors);
    EXPECT_EQ(after.running, false);
    EXPECT_EQ(ProcessOutputSince(after.length + 5).added, QByteArray());
}

TEST_F(ProcessRunnerTest, TerminateEndsTheChildAndItsGrandchildren) {
    const QString script =
        writeScript(m_folder, "parent.sh", "sleep 1000 & echo $! > grandchild; echo go; wait");
    ASSERT_EQ(m_runner.Start(script, "parent", m_folder), true);
    waitForOutput("go\r\n");
    const QString grandchild = readWhenWritten(m_folder + "/grandchild").trimmed();
    EXPECT_EQ(m_runner.Terminate(kUserAbortExitCode), true);
    EXPECT_EQ(waitUntil([] { return !IsProcessRunning(); }), true);
    EXPECT_EQ(ProcessOutputText(), "go\r\nExit code: 11\r\nProcess terminated by user.");
    EXPECT_EQ(waitUntil([&] { return processState(grandchild) % 'Z' == 0; }), true);
}

TEST_F(ProcessRunnerTest, TerminateEndsGrandchildrenThatOutliveTheChildAndHoldTheOutput) {
    const QString script =
        writeScript(m_folder, "parent.sh", "sleep 1000 & echo $! > grandchild; echo go; exit 0");
    ASSERT_EQ(m_runner.Start(script, "parent", m_folder), true);
    waitForOutput("go\r\n");
    const QString grandchild = readWhenWritten(m_folder + "/grandchild").trimmed();
    EXPECT_EQ(IsProcessRunning(), true);
    EXPECT_EQ(m_runner.Terminate(kUserAbortExitCode), true);
    EXPECT_EQ(waitUntil([] { return !IsProcessRunning(); }), true);
    EXPECT_EQ(ProcessOutputText(), "go\r\nExit code: 11\r\nProcess terminated by user.");
    EXPECT_EQ(waitUntil([&] { return processState(grandchild) % 'Z' == 0; }), true);
}

// A process in a session of its own that the program leaves behind holds the output open; the
// run still ends once the program has, or is aborted, with its exit line, and the next run starts.
TEST_F(ProcessRunnerTest, BackgroundProcessHoldingTheOutputDoesNotKeepTheRunGoing) {
    const QByteArray leave =
        "setsid sh -c 'echo $$ > background; exec sleep 1000' & echo started; ";
    EXPECT_EQ(runScript(leave + "exit 2"), "started\r\nExit code: 2\r\nThere were errors");
    const QString first = readWhenWritten(m_folder + "/background").trimmed();
    QFile::remove(m_folder + "/background");
    ASSERT_EQ(m_runner.Start(writeScript(m_folder, "child.sh", leave + "exec sleep 1000"), "child",
                             m_folder),
              true);
    waitForOutput("started\r\n");
    const QString second = readWhenWritten(m_folder + "/background").trimmed();
    EXPECT_EQ(m_runner.Terminate(kUserAbortExitCode), true);
    EXPECT_EQ(waitUntil([] { return !IsProcessRunning(); }), true);
    EXPECT_EQ(ProcessOutputText(), "started\r\nExit code: 11\r\nProcess terminated by user.");
    EXPECT_EQ(runScript("echo next"), "next\r\n" + kNoErrors);
    kill(first.toInt(), SIGKILL);
    kill(second.toInt(), SIGKILL);
}

// A program printing without end leaves its first and its latest output with one line between
// saying how much was left out, then the exit line and verdict; the kept text stays bounded
// (small limits here, so that a few megabytes are cut many times), and no line end or character
// is cut in two.
TEST_F(ProcessRunnerTest, EndlessOutputKeepsHeadAndLatestTailWithOneLineBetween) {
    const CapturedOutputLimits small{64 * 1024, 256 * 1024, 128 * 1024};
    const CapturedOutputLimits saved = CapturedOutputLimitsInUse();
    SetCapturedOutputLimits(small);
    const auto restore = qScopeGuard([&] { SetCapturedOutputLimits(saved); });
    const struct {
        const char *name;
        const char *script;
        QByteArray output; // as captured, without the exit line and verdict
    } cases[] = {
        {"short lines are cut at line starts", "yes 0123456789abcdef | head -n 200000",
         QByteArray("0123456789abcdef\r\n").repeated(200000)},
        {"one line of two-byte characters is cut between characters",
         "yes \303\251 | tr -d '\\n' | head -c 3000000", QByteArray("\303\251").repeated(1500000)},
        {"bytes that are no characters are kept as they came",
         "yes \200 | tr -d '\\n' | head -c 3000000", QByteArray("\200").repeated(3000000)},
    };
    static const QRegularExpression marker("^\\.\\.\\. (\\d+) bytes of output left out "
                                           "\\.\\.\\.\r\n",
                                           QRegularExpression::MultilineOption);
    for (const auto &test : cases) {
        SCOPED_TRACE(test.name);
        const QByteArray text = runScript(test.script);
        const QByteArray &full = test.output;
        ASSERT_TRUE(text.endsWith(kNoErrors));
        EXPECT_LE(text.size(), small.head + small.tail + small.slack + 100);
        const QString latin = QString::fromLatin1(text);
        const QRegularExpressionMatch found = marker.match(latin);
        ASSERT_TRUE(found.hasMatch());
        EXPECT_FALSE(marker.match(latin, found.capturedEnd()).hasMatch());
        // The marker line begins on a line of its own: a head cut inside a line gets a line end.
        QByteArray head = text.left(found.capturedStart());
        if (!full.startsWith(head)) {
            head.chop(2);
        }
        const QByteArray tail =
            text.mid(found.capturedEnd(), text.size() - found.capturedEnd() - kNoErrors.size());
        EXPECT_LE(head.size(), small.head);
        EXPECT_GE(tail.size(), small.tail);
        EXPECT_EQ(head.size() + found.captured(1).toLongLong() + tail.size(), full.size());
        EXPECT_EQ(head, full.left(head.size()));
        EXPECT_EQ(tail, full.right(tail.size()));
        const bool whole = QString::fromUtf8(full).toUtf8() == full;
        EXPECT_EQ(QString::fromUtf8(head).toUtf8() == head, whole);
        EXPECT_EQ(QString::fromUtf8(tail).toUtf8() == tail, whole);
    }
}

// A reader taking the output of an endless run in stretches gets the kept head in pieces, then
// is passed over to the kept tail and told how many line ends it missed; one far behind gets
// only the latest bytes, from a line start. Every stretch is the output as it came.
TEST_F(ProcessRunnerTest, StretchesFollowTheWholeOutputAcrossWhatWasLeftOut) {
    const CapturedOutputLimits saved = CapturedOutputLimitsInUse();
    SetCapturedOutputLimits({64 * 1024, 256 * 1024, 128 * 1024});
    const auto restore = qScopeGuard([&] { SetCapturedOutputLimits(saved); });
    runScript("yes 0123456789abcdef | head -n 200000");
    const QByteArray full = QByteArray("0123456789abcdef\r\n").repeated(200000) + kNoErrors;

    qint64 position = 0;
    int passedOver = 0;
    for (ProcessOutputStretch stretch = ProcessOutputFrom(0, 16 * 1024); !stretch.added.isEmpty();
         stretch = ProcessOutputFrom(position, 16 * 1024)) {
        ASSERT_EQ(stretch.added, full.mid(stretch.from, stretch.added.size()));
        ASSERT_EQ(stretch.end, stretch.from + stretch.added.size());
        ASSERT_EQ(stretch.size, full.size());
        ASSERT_FALSE(stretch.running);
        if (stretch.from > position) {
            ++passedOver;
            EXPECT_EQ(stretch.linesBefore, full.left(stretch.from).count('\n'));
            EXPECT_EQ(full.at(stretch.from - 1), '\n');
        }
        position = stretch.end;
    }
    EXPECT_EQ(position, full.size());
    EXPECT_EQ(passedOver, 1); // over the bytes left out and on to the latest 16 KB at once

    const ProcessOutputStretch late = ProcessOutputFrom(full.size() - 20, 1024);
    EXPECT_EQ(late.added, full.right(20));
    EXPECT_EQ(late.linesBefore, -1);
}

TEST_F(ProcessRunnerTest, TerminateAfterTheEndTerminatesNothing) {
    EXPECT_EQ(runScript("exit 0"), kNoErrors);
    EXPECT_EQ(m_runner.Terminate(kUserAbortExitCode), false);
    EXPECT_EQ(ProcessOutputText(), kNoErrors);
}

TEST_F(ProcessRunnerTest, OutputClosedWhileRunningReportsStillActiveAndIsReapedLater) {
    EXPECT_EQ(runScript("echo $$ > pid; exec >&- 2>&-; exec sleep 1000"),
              "Exit code: 259\r\nError - process still active!");
    const QString child = readWhenWritten(m_folder + "/pid").trimmed();
    ASSERT_GT(child.toInt(), 0);
    EXPECT_EQ(processState(child), 'S');
    kill(child.toInt(), SIGKILL);
    EXPECT_EQ(waitUntil([&] { return processState(child) == '\0'; }), true);
}

// The application may exit while the reader appends: the state must outlive static destruction,
// and the child, flooding the pipe meanwhile, ends with the application.
TEST_F(ProcessRunnerTest, ExitWhileCapturingKeepsStateValidAndEndsTheChild) {
    // The exiting process is this test run again; it works in this run's folder, not its own.
    if (!qEnvironmentVariableIsSet("TARVO_EXIT_TEST_FOLDER")) {
        qputenv("TARVO_EXIT_TEST_FOLDER", QFile::encodeName(m_folder));
    }
    const QString folder = qEnvironmentVariable("TARVO_EXIT_TEST_FOLDER");
    const QString script = writeScript(folder, "flood.sh", "echo $$ > pid; yes; exec sleep 1000");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            m_runner.Start(script, "flood", folder);
            waitUntil([] { return ProcessOutputText().size() > 100000; });
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
    qunsetenv("TARVO_EXIT_TEST_FOLDER");
    const pid_t child = readWhenWritten(folder + "/pid").toInt();
    ASSERT_GT(child, 0);
    EXPECT_EQ(waitUntil([&] { return processState(QString::number(child)) % 'Z' == 0; }), true);
}

// A program that Tarvo started, and what the program started in turn, end when Tarvo is killed
// with SIGKILL, which Tarvo cannot see coming.
TEST_F(ProcessRunnerTest, KillingTheApplicationEndsTheChildAndWhatItStarted) {
    ASSERT_FALSE(GuardProgram().isEmpty());
    const QString script = writeScript(m_folder, "child.sh",
                                       "sleep 1000 & echo $! > grandchild; echo $$ > child; wait");
    QProcess host;
    host.start(TARVO_RUNNER_HOST, {"run", script, m_folder});
    ASSERT_TRUE(host.waitForReadyRead(60000));
    EXPECT_EQ(host.readAll(), "running\n");
    const QString child = readWhenWritten(m_folder + "/child").trimmed();
    const QString grandchild = readWhenWritten(m_folder + "/grandchild").trimmed();
    ASSERT_EQ(processState(child), 'S');
    kill(pid_t(host.processId()), SIGKILL);
    ASSERT_TRUE(host.waitForFinished(60000));
    EXPECT_EQ(waitUntil([&] { return processState(child) % 'Z' == 0; }), true);
    EXPECT_EQ(waitUntil([&] { return processState(grandchild) % 'Z' == 0; }), true);
}

// The resident Java service ends when Tarvo is killed: its input closes with Tarvo.
TEST_F(ProcessRunnerTest, KillingTheApplicationEndsItsJavaService) {
    const QString jdk = testing_support::installedJdk();
    if (!QFileInfo(jdk + "/bin/javac").isExecutable()) {
        GTEST_SKIP() << "no JDK found";
    }
    QProcess host;
    host.start(TARVO_RUNNER_HOST,
               {"service", jdk, m_folder, TARVO_HELP_DIR, testing_support::runFolder() + "/cache"});
    ASSERT_TRUE(host.waitForReadyRead(180000)); // the first start compiles the service
    const QString service = host.readLine().trimmed();
    ASSERT_GT(service.toInt(), 0);
    ASSERT_NE(processState(service), '\0');
    kill(pid_t(host.processId()), SIGKILL);
    ASSERT_TRUE(host.waitForFinished(60000));
    EXPECT_EQ(waitUntil([&] { return processState(service) % 'Z' == 0; }), true);
}

struct StartFailureCase {
    const char *name;
    const char *program;
    const char *folderBelowScratch;
};

class StartFailureTest : public ProcessRunnerTest,
                         public testing::WithParamInterface<StartFailureCase> {};

TEST_P(StartFailureTest, ReturnsFalseAndLeavesNothingBehind) {
    const QStringList descriptors = descriptorTargets("self");
    EXPECT_EQ(
        m_runner.Start(GetParam().program, "tool x", m_folder + GetParam().folderBelowScratch),
        false);
    EXPECT_EQ(IsProcessRunning(), false);
    EXPECT_EQ(descriptorTargets("self"), descriptors);
    EXPECT_EQ(zombieChildCount(), 0);
}

const StartFailureCase kStartFailures[] = {
    {"MissingProgram", "/nonexistent/bin/javac", ""},
    {"ProgramIsAFolder", "/usr/bin", ""},
    {"MissingFolder", "/bin/sh", "/no such folder"},
};

INSTANTIATE_TEST_SUITE_P(Starts, StartFailureTest, testing::ValuesIn(kStartFailures),
                         testing_support::CaseName());

TEST_F(ProcessRunnerTest, TwoHundredRunsLeaveNoDescriptorOrZombie) {
    const QString script = writeScript(m_folder, "quick.sh", "echo run");
    const QStringList descriptors = descriptorTargets("self");
    for (int run = 0; run < 200; ++run) {
        ASSERT_EQ(runToEnd(script, "quick"), "run\r\n" + kNoErrors);
    }
    EXPECT_EQ(descriptorTargets("self"), descriptors);
    EXPECT_EQ(zombieChildCount(), 0);
}

TEST_F(ProcessRunnerTest, ClosedInputEndsAfterWhatWasSentAndTakesNoMore) {
    const QString script = writeScript(m_folder, "count.sh", "wc -l");
    ASSERT_EQ(m_runner.Start(script, "count", m_folder, true), true);
    EXPECT_EQ(SendProcessInput("one"), true);
    EXPECT_EQ(SendProcessInput("two"), true);
    CloseProcessInput();
    EXPECT_EQ(IsProcessInputOpen(), false);
    EXPECT_EQ(SendProcessInput("three"), false);
    EXPECT_EQ(waitUntil([] { return !IsProcessRunning(); }), true);
    EXPECT_EQ(ProcessOutputText().simplified(), "one two 2 Exit code: 0 No Errors");
}

// Sending never waits for the child: megabytes the child never reads are queued, and when the
// child ends the writer lets go of them and of the child's input.
TEST_F(ProcessRunnerTest, InputTheChildDoesNotReadNeitherBlocksNorLeaks) {
    const QStringList descriptors = descriptorTargets("self");
    // The child reads one line, then waits for the stop file without reading more.
    const QString script = writeScript(m_folder, "first.sh",
                                       "read a; echo \"got $a\"; "
                                       "while [ ! -e stop ]; do sleep 0.01; done");
    ASSERT_EQ(m_runner.Start(script, "first", m_folder, true), true);
    const QString big(4 * 1024 * 1024, QLatin1Char('x'));
    EXPECT_EQ(SendProcessInput("1"), true);
    for (int line = 0; line < 4; ++line) {
        EXPECT_EQ(SendProcessInput(big), true);
    }
    waitForOutput("got 1\r\n");
    QFile(m_folder + "/stop").open(QIODevice::WriteOnly);
    EXPECT_EQ(waitUntil([] { return !IsProcessRunning(); }), true);
    const QByteArray output = ProcessOutputText();
    EXPECT_EQ(output.contains("got 1\r\n"), true);
    EXPECT_EQ(output.endsWith(kNoErrors), true);
    EXPECT_EQ(waitUntil([&] { return descriptorTargets("self") == descriptors; }), true);
}

TEST_F(ProcessRunnerTest, CompilesAndRunsJavaWithTheJdkTools) {
    const QString javac = QFileInfo(QStandardPaths::findExecutable("javac")).canonicalFilePath();
    if (javac.isEmpty()) {
        GTEST_SKIP() << "no JDK on PATH";
    }
    const auto writeSource = [this](const QString &name, const QByteArray &text) {
        QFile file(m_folder + "/" + name);
        EXPECT_EQ(file.open(QIODevice::WriteOnly) && file.write(text) == text.size(), true);
    };
    writeSource("Hello.java", "class Hello { public static void main(String[] a) {\n"
                              "  System.out.println(a.length + a[0]); System.out.flush();\n"
                              "  System.err.println(\"err\"); System.exit(3); } }\n");
    EXPECT_EQ(runToEnd(javac, "javac Hello.java"), kNoErrors);
    EXPECT_EQ(runToEnd(QFileInfo(javac).absolutePath() + "/java", "java Hello \"two words\" x"),
              "2two words\r\nerr\r\nExit code: 3\r\nThere were errors");
    writeSource("Broken.java", "class Broken {\n  int x = ; }\n");
    const QByteArray errors = runToEnd(javac, "javac Broken.java");
    EXPECT_EQ(errors.left(errors.indexOf(" error:")), "Broken.java:2:");
    EXPECT_EQ(errors.endsWith("Exit code: 1\r\nThere were errors"), true) << errors.constData();
}

} // namespace
