// A debug session on the installed JDK with a real program connected to it: breakpoints stop
// the program with its variables readable, steps go over, into and out, an uncaught exception
// stops at the line that threw, and Continue and Stop end the program.
#include "javaservice/debugsession.h"

#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

namespace {

using javaservice::DebugBreakpoint;
using javaservice::DebugSession;
using javaservice::DebugStop;
using javaservice::DebugVariable;
using javaservice::StepDepth;
using testing_support::makeScratchFolder;
using testing_support::writeFileIn;

using testing_support::processEventsUntil;

const QByteArray kLoop = R"(package counting;

public class Loop {
    public static void main(String[] args) {
        String name = "Tarvo";
        int[] squares = {1, 4, 9};
        int total = 0;
        int i = 0;
        while (i < 3) {
            i = i + 1;
            total += Helper.twice(i);
        }
        System.out.println(name + " " + total + " " + squares.length);
    }
}
)";

const QByteArray kHelper = R"(package counting;

class Helper {
    static int twice(int n) {
        int result = n * 2;
        return result;
    }
}
)";

const QByteArray kFailing = R"(public class Failing {
    public static void main(String[] args) {
        String text = "4x";
        System.out.println("before");
        int value = Integer.parseInt(text);
        System.out.println(value);
    }
}
)";

const QByteArray kEndless = R"(public class Endless {
    public static void main(String[] args) throws Exception {
        for (long round = 0;; ++round) {
            Thread.sleep(10);
        }
    }
}
)";

class DebugSessionTest : public testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo(jdk + "/bin/javac").isExecutable()) {
            GTEST_SKIP() << "no JDK found";
        }
        folder = makeScratchFolder("debug");
    }
    void TearDown() override {
        session.reset();
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }

    void compile(const QStringList &sources) {
        QProcess javac;
        javac.setWorkingDirectory(folder);
        javac.setProcessChannelMode(QProcess::MergedChannels);
        javac.start(jdk + "/bin/javac", QStringList{"-g", "-d", "."} + sources);
        ASSERT_TRUE(javac.waitForFinished(120000));
        ASSERT_EQ(javac.exitCode(), 0) << javac.readAll().toStdString();
    }

    // Starts a session and, once it listens, the program connected to it.
    void debug(const QString &mainClass, const QList<DebugBreakpoint> &breakpoints) {
        DebugSession::Settings settings;
        settings.jdkFolder = jdk;
        settings.folder = folder;
        settings.helpFolders = {QDir::cleanPath(TARVO_TEST_DATA_DIR "/../../../res/help")};
        settings.cacheRoot = testing_support::runFolder() + "/cache";
        session = std::make_unique<DebugSession>(settings);
        QObject::connect(session.get(), &DebugSession::listening, [this, mainClass](int port) {
            program.setWorkingDirectory(folder);
            program.setProcessChannelMode(QProcess::MergedChannels);
            program.start(jdk + "/bin/java",
                          {DebugSession::agentOption(port), "-cp", ".", mainClass});
        });
        QObject::connect(session.get(), &DebugSession::stopped,
                         [this](const DebugStop &stop) { stops.append(stop); });
        QObject::connect(
            session.get(), &DebugSession::variablesRead,
            [this](quint64 id, const QList<DebugVariable> &variables) { read[id] = variables; });
        QObject::connect(session.get(), &DebugSession::ended,
                         [this](const QString &error) { endings << error; });
        session->start(breakpoints);
    }

    bool waitForStop(int count) {
        return processEventsUntil([&] { return stops.size() >= count || !endings.isEmpty(); })
               && stops.size() >= count;
    }

    QList<DebugVariable> variables(int frame, qint64 object = 0) {
        const quint64 id = session->readVariables(frame, object);
        EXPECT_NE(id, 0u);
        processEventsUntil([&] { return read.contains(id); });
        return read.value(id);
    }

    static DebugVariable named(const QList<DebugVariable> &variables, const QString &name) {
        for (const DebugVariable &variable : variables) {
            if (variable.name == name) {
                return variable;
            }
        }
        ADD_FAILURE() << "no variable " << name.toStdString();
        return {};
    }

    bool waitForEnd() {
        return processEventsUntil(
            [&] { return !endings.isEmpty() && program.state() == QProcess::NotRunning; });
    }

    const QString jdk = testing_support::installedJdk();
    QString folder;
    QProcess program;
    std::unique_ptr<DebugSession> session;
    QList<DebugStop> stops;
    QMap<quint64, QList<DebugVariable>> read;
    QStringList endings;
};

TEST_F(DebugSessionTest, LoopStopsStepsIntoAndOutAndRunsToItsEnd) {
    writeFileIn(folder, "counting/Loop.java", kLoop);
    writeFileIn(folder, "counting/Helper.java", kHelper);
    compile({"counting/Loop.java", "counting/Helper.java"});
    debug("counting.Loop", {{"counting/Loop.java", 10}});

    ASSERT_TRUE(waitForStop(1)) << endings.join('\n').toStdString();
    EXPECT_EQ(stops[0].reason, DebugStop::Reason::Breakpoint);
    EXPECT_EQ(stops[0].frames[0].path, "counting/Loop.java");
    EXPECT_EQ(stops[0].frames[0].line, 10);
    EXPECT_EQ(stops[0].frames[0].method, "main");
    QList<DebugVariable> locals = variables(0);
    EXPECT_EQ(named(locals, "i").value, "0");
    EXPECT_EQ(named(locals, "args").kind, "argument");
    EXPECT_EQ(named(locals, "name").value, "\"Tarvo\"");
    EXPECT_FALSE(named(locals, "name").isExpandable());
    const DebugVariable squares = named(locals, "squares");
    EXPECT_EQ(squares.value, "int[3]");
    ASSERT_TRUE(squares.isExpandable());
    const QList<DebugVariable> elements = variables(0, squares.object);
    ASSERT_EQ(elements.size(), 3);
    EXPECT_EQ(elements[2].name, "[2]");
    EXPECT_EQ(elements[2].value, "9");

    // Step Over moves one line on, and i has changed.
    ASSERT_TRUE(session->step(StepDepth::Over));
    ASSERT_TRUE(waitForStop(2));
    EXPECT_EQ(stops[1].reason, DebugStop::Reason::Step);
    EXPECT_EQ(stops[1].frames[0].line, 11);
    EXPECT_EQ(named(variables(0), "i").value, "1");

    // Step Into enters the method of the other class.
    ASSERT_TRUE(session->step(StepDepth::Into));
    ASSERT_TRUE(waitForStop(3));
    EXPECT_EQ(stops[2].frames[0].className, "counting.Helper");
    EXPECT_EQ(stops[2].frames[0].path, "counting/Helper.java");
    EXPECT_EQ(stops[2].frames[0].line, 5);
    ASSERT_GE(stops[2].frames.size(), 2);
    EXPECT_EQ(stops[2].frames[1].line, 11);
    EXPECT_EQ(named(variables(0), "n").value, "1");
    EXPECT_EQ(named(variables(1), "i").value, "1");

    // Step Out goes back to the caller's line.
    ASSERT_TRUE(session->step(StepDepth::Out));
    ASSERT_TRUE(waitForStop(4));
    EXPECT_EQ(stops[3].frames[0].method, "main");
    EXPECT_EQ(stops[3].frames[0].line, 11);

    // Continue stops at the breakpoint again while it is set, and runs to the end without it.
    ASSERT_TRUE(session->resume());
    ASSERT_TRUE(waitForStop(5));
    EXPECT_EQ(stops[4].frames[0].line, 10);
    EXPECT_EQ(named(variables(0), "i").value, "1");
    session->setBreakpoint({"counting/Loop.java", 10}, false);
    ASSERT_TRUE(session->resume());
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(endings, QStringList{QString()});
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(program.readAll().trimmed(), "Tarvo 12 3");
    EXPECT_EQ(stops.size(), 5);
    EXPECT_FALSE(session->resume());
}

TEST_F(DebugSessionTest, UncaughtExceptionStopsAtTheLineThatThrewIt) {
    writeFileIn(folder, "Failing.java", kFailing);
    compile({"Failing.java"});
    debug("Failing", {});

    ASSERT_TRUE(waitForStop(1)) << endings.join('\n').toStdString();
    const DebugStop &stop = stops[0];
    EXPECT_EQ(stop.reason, DebugStop::Reason::Exception);
    EXPECT_EQ(stop.exception, "java.lang.NumberFormatException: For input string: \"4x\"");
    // Thrown inside Integer.parseInt: the program's own line is the one shown.
    EXPECT_TRUE(stop.frames[0].library);
    EXPECT_EQ(stop.frames[stop.frame].path, "Failing.java");
    EXPECT_EQ(stop.frames[stop.frame].line, 5);
    EXPECT_EQ(named(variables(stop.frame), "text").value, "\"4x\"");

    ASSERT_TRUE(session->resume());
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(program.readAll().contains("NumberFormatException"));
}

// The exception's text comes from its own toString(), which holds a breakpoint and loads a class
// of the same file: neither may stop the program while the debugger waits for the text. The
// breakpoint stops the program later, when the program itself prints the exception.
TEST_F(DebugSessionTest, BreakpointInTheExceptionsToStringWaitsForTheProgramsOwnCall) {
    writeFileIn(folder, "Odd.java", R"(public class Odd {
    static class Broken extends RuntimeException {
        public String toString() {
            String label = Label.of("broken");
            return label;
        }
    }
    static class Label {
        static String of(String text) { return "Odd: " + text; }
    }
    public static void main(String[] args) {
        throw new Broken();
    }
}
)");
    compile({"Odd.java"});
    debug("Odd", {{"Odd.java", 4}});

    ASSERT_TRUE(waitForStop(1)) << endings.join('\n').toStdString();
    EXPECT_EQ(stops[0].reason, DebugStop::Reason::Exception);
    EXPECT_EQ(stops[0].exception, "Odd: broken");
    EXPECT_EQ(stops[0].frames[stops[0].frame].line, 12);

    ASSERT_TRUE(session->resume());
    ASSERT_TRUE(waitForStop(2)) << endings.join('\n').toStdString();
    EXPECT_EQ(stops[1].reason, DebugStop::Reason::Breakpoint);
    EXPECT_EQ(stops[1].frames[stops[1].frame].line, 4);
    ASSERT_TRUE(session->resume());
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(program.readAll().contains("Odd: broken"));
}

TEST_F(DebugSessionTest, StopEndsTheProgramWhetherStoppedOrRunning) {
    writeFileIn(folder, "Endless.java", kEndless);
    compile({"Endless.java"});
    debug("Endless", {{"Endless.java", 4}});
    ASSERT_TRUE(waitForStop(1)) << endings.join('\n').toStdString();
    // A breakpoint set while the program runs catches it too.
    session->setBreakpoint({"Endless.java", 4}, false);
    ASSERT_TRUE(session->resume());
    session->setBreakpoint({"Endless.java", 3}, true);
    ASSERT_TRUE(waitForStop(2));
    EXPECT_EQ(stops[1].frames[0].line, 3);
    session->stop(11);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(program.exitCode(), 11);
    EXPECT_EQ(endings, QStringList{QString()});

    // A running program ends as well, and so does one whose session is simply destroyed.
    stops.clear();
    endings.clear();
    debug("Endless", {});
    ASSERT_TRUE(
        processEventsUntil([&] { return session->state() == DebugSession::State::Running; }));
    session.reset();
    ASSERT_TRUE(processEventsUntil([&] { return program.state() == QProcess::NotRunning; }));
}

} // namespace
