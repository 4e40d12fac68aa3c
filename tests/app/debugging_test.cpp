// The debugger as a user meets it: breakpoints set by F9 and by a click in the margin, kept
// with their lines as the text changes and across a reopening; Debug Application stops at them
// with the source window open at the line and the Debug window showing the call stack and the
// variables, marks what a step changed, and Continue and Stop Debugging end the program as Run
// ends it.
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "app/debugwindow.h"
#include "editors/breakpointmarks.h"
#include "editors/breakpointstore.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/linenumbermargin.h"
#include "framework/commandids.h"
#include "framework/profile.h"
#include "framework/view.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/projectfile.h"
#include "services/appsettings.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processrunner.h"

#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

using testing_support::AppHarness;

const QByteArray kAverage = R"(public class Average {
    public static void main(String[] args) {
        int[] marks = {4, 8, 6};
        int total = 0;
        for (int i = 1; i < marks.length; i++) {
            total += marks[i];
        }
        System.out.println(Stats.average(total, marks.length));
    }
}
)";

const QByteArray kStats = R"(public class Stats {
    static int average(int total, int count) {
        return total / count;
    }
}
)";

class DebuggingTest : public testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo(jdk + "/bin/javac").isExecutable()) {
            GTEST_SKIP() << "no JDK found";
        }
        harness.app().settings().jdkFolder = jdk;
        harness.app().settings().saveBeforeCompile = 1;
        harness.app().setAppFolder(QDir::cleanPath(TARVO_TEST_DATA_DIR "/../../../res"));
        ProjectFileContents contents;
        for (const auto &[name, text] :
             {std::pair{"Average.java", kAverage}, {"Stats.java", kStats}}) {
            auto file = std::make_unique<CJavaFile>();
            file->SetFileName(name);
            file->SetPath(harness.writeFile(QStringLiteral("src/") + name, text));
            contents.m_fileList.Add(file);
        }
        contents.m_strMainFile = "Average.java";
        project = dynamic_cast<CJavaProjectDoc *>(harness.app().openDocumentFile(
            harness.writeFile("Test.jpr", storeProjectFile(contents))));
        ASSERT_NE(project, nullptr);
    }
    void TearDown() override {
        for (const QString &path : BreakpointStore::instance().files()) {
            BreakpointStore::instance().setLines(path, {});
        }
    }

    CSyntaxWindowDoc *open(const QString &name) {
        return dynamic_cast<CSyntaxWindowDoc *>(
            harness.app().openDocumentFile(harness.folder() + "/src/" + name));
    }
    static QPlainTextEdit *editOf(CSyntaxWindowDoc *document) {
        return qobject_cast<QPlainTextEdit *>(document->firstView()->widget());
    }
    static void putCaret(CSyntaxWindowDoc *document, int line) {
        QPlainTextEdit *edit = editOf(document);
        edit->setTextCursor(QTextCursor(edit->document()->findBlockByNumber(line)));
    }
    QString shown() { return project->m_pOutputWnd->ShownText(); }
    DebugWindow *debugWindow() { return harness.mainFrame().findChild<DebugWindow *>(); }
    QString value(const QString &path) {
        DebugWindow *window = debugWindow();
        QTreeWidgetItem *item = window ? window->variableItem(path) : nullptr;
        return item ? item->text(DebugWindow::kValueColumn) : QString();
    }
    bool waitForValue(const QString &path, const QString &expected) {
        return QTest::qWaitFor([&] { return value(path) == expected; }, 60000);
    }
    bool stoppedAt(CSyntaxWindowDoc *document, int line) {
        return QTest::qWaitFor(
            [&] {
                return document->breakpoints().executionLine() == line
                       && harness.mainFrame().commandState(CommandId::StepOver).isEnabled();
            },
            120000);
    }

    const QString jdk = AppSettings::defaultJdkFolder();
    AppHarness harness;
    CJavaProjectDoc *project = nullptr;
};

TEST_F(DebuggingTest, BreakpointsFollowTheirLinesAndStayForTheNextOpening) {
    CSyntaxWindowDoc *average = open("Average.java");
    ASSERT_NE(average, nullptr);
    putCaret(average, 5);
    QTest::keyClick(editOf(average), Qt::Key_F9);
    EXPECT_EQ(average->breakpoints().lines(), QList<int>{5});

    // A click in the margin beside line 8 sets another one; the margin shows both.
    auto *margin = editOf(average)->findChild<LineNumberMargin *>();
    ASSERT_TRUE(margin->isVisible());
    const QRect row =
        editOf(average)->cursorRect(QTextCursor(editOf(average)->document()->findBlockByNumber(7)));
    const int y = row.center().y() + editOf(average)->viewport()->y() - margin->y();
    EXPECT_EQ(margin->lineAt(y), 8);
    QTest::mouseClick(margin, Qt::LeftButton, {}, QPoint(2, y));
    EXPECT_EQ(average->breakpoints().lines(), (QList<int>{5, 7}));
    QList<int> painted;
    for (const LineNumberMargin::ShownBreakpoint &shown : margin->visibleBreakpoints()) {
        painted << shown.line;
    }
    EXPECT_EQ(painted, (QList<int>{6, 8}));

    // A line typed above moves them down; the store knows at once.
    putCaret(average, 2);
    QTest::keyClicks(editOf(average), "// marks");
    QTest::keyClick(editOf(average), Qt::Key_Return);
    EXPECT_EQ(average->breakpoints().lines(), (QList<int>{6, 8}));
    const QString path = average->pathName();
    EXPECT_EQ(BreakpointStore::instance().lines(path), (QList<int>{7, 9}));
    // F9 on the comment sets the breakpoint on the code below it, where the program can stop;
    // F9 there again clears it.
    putCaret(average, 2);
    QTest::keyClick(editOf(average), Qt::Key_F9);
    EXPECT_EQ(average->breakpoints().lines(), (QList<int>{3, 6, 8}));
    QTest::keyClick(editOf(average), Qt::Key_F9);
    EXPECT_EQ(average->breakpoints().lines(), (QList<int>{6, 8}));
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::FileSave));

    harness.mainFrame().executeCommand(CommandId::WindowCloseActive);
    AppHarness::processEvents();
    CSyntaxWindowDoc *again = open("Average.java");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->breakpoints().lines(), (QList<int>{6, 8}));
    EXPECT_EQ(BreakpointStore::fromTexts(
                  harness.storedSettings()->readString("Breakpoints", "Files").split('\n')),
              (QMap<QString, QList<int>>{{path, {7, 9}}}));
}

TEST_F(DebuggingTest, UserFindsTheLoopThatSkipsTheFirstMark) {
    CSyntaxWindowDoc *average = open("Average.java");
    ASSERT_NE(average, nullptr);
    putCaret(average, 5);
    QTest::keyClick(editOf(average), Qt::Key_F9);
    project->Build();
    ASSERT_TRUE(QTest::qWaitFor([] { return !IsProcessRunning(); }, 120000));

    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::DebugApplication));
    ASSERT_TRUE(stoppedAt(average, 5)) << shown().toStdString();
    EXPECT_EQ(harness.mainFrame().activeDocument(), average);
    DebugWindow *window = debugWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->statusLine()->text(), "Stopped at the breakpoint at Average.java, line 6");
    EXPECT_EQ(window->callStack()->topLevelItem(0)->text(0), "Average.main (Average.java:6)");
    // The first time round i is 1 already: the first mark is never added.
    ASSERT_TRUE(waitForValue("i", "1"));
    EXPECT_EQ(value("total"), "0");
    EXPECT_EQ(window->variableItem("args")->childIndicatorPolicy(),
              QTreeWidgetItem::DontShowIndicatorWhenChildless);
    EXPECT_EQ(value("marks"), "int[3]");
    window->variableItem("marks")->setExpanded(true);
    ASSERT_TRUE(waitForValue("marks/[0]", "4"));

    // A step adds the mark: total is marked as changed, and marks stays open.
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::StepOver));
    ASSERT_TRUE(stoppedAt(average, 4));
    ASSERT_TRUE(waitForValue("total", "8"));
    EXPECT_TRUE(DebugWindow::isMarkedChanged(window->variableItem("total")));
    EXPECT_FALSE(DebugWindow::isMarkedChanged(window->variableItem("i")));
    ASSERT_TRUE(waitForValue("marks/[2]", "6"));

    // Without the breakpoint, Continue runs to the end as Run would.
    putCaret(average, 5);
    QTest::keyClick(editOf(average), Qt::Key_F9);
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::DebugContinue));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !IsProcessRunning() && !project->debugRun(); }, 60000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown().endsWith("No Errors"); }, 10000));
    EXPECT_TRUE(shown().endsWith("4\r\nExit code: 0\r\nNo Errors")) << shown().toStdString();
    EXPECT_EQ(average->breakpoints().executionLine(), -1);
    EXPECT_EQ(window->statusLine()->text(), "Not debugging");
    EXPECT_TRUE(harness.mainFrame().commandState(CommandId::DebugApplication).isEnabled());
    EXPECT_FALSE(harness.mainFrame().commandState(CommandId::StopDebugging).isEnabled());
}

TEST_F(DebuggingTest, ExceptionOpensTheThrowingLineAndStopEndsTheProgram) {
    harness.writeFile("src/Stats.java", QByteArray(kStats).replace("total / count", "total / 0"));
    // The sources were never built: Yes builds them first (with -g), then the run starts.
    harness.prompter().answerNext(fw::Answer::Yes);
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::DebugApplication));
    CSyntaxWindowDoc *stats = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            stats = dynamic_cast<CSyntaxWindowDoc *>(harness.mainFrame().activeDocument());
            return stats && stats->breakpoints().executionLine() == 2;
        },
        120000))
        << shown().toStdString();
    EXPECT_EQ(debugWindow()->statusLine()->text(),
              "Exception at Stats.java, line 3: java.lang.ArithmeticException: / by zero");
    ASSERT_TRUE(waitForValue("total", "14"));
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::StopDebugging));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !IsProcessRunning() && !project->debugRun(); }, 60000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown().contains("terminated"); }, 10000));
    EXPECT_TRUE(shown().endsWith("Exit code: 11\r\nProcess terminated by user."));
}

} // namespace
