#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "framework/profile.h"
#include "services/appsettings.h"
#include "tools/compilermessagecolours.h"
#include "tools/coutputedit.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/outputwindowlistener.h"
#include "tools/processoutputwindow.h"
#include "tools/processrunner.h"

#include "childscripts.h"
#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

using testing_support::AppHarness;

const QString kOptions = QStringLiteral("OPTIONS");
const QString kDashes = QStringLiteral("External process in progress --");
const QString kPlus = QStringLiteral("External process in progress +");
const QString kComplete = QStringLiteral("External process complete");

class RecordingListener : public OutputWindowListener {
public:
    int closes = 0;
    std::vector<int> lines;

    void OnOutputClose() override { ++closes; }
    void OnOutputGotoLine(int line) override { lines.push_back(line); }
};

class OutputWindowTest : public testing::Test {
protected:
    AppHarness harness;
    RecordingListener listener;
    CProcessOutputDialog dialog;

    void TearDown() override {
        // The runner's state belongs to the process: the next test starts from idle.
        EXPECT_TRUE(tools_test::waitUntil([] { return !IsProcessRunning(); }));
    }

    std::unique_ptr<CProcessRunner> start(const QByteArray &script) {
        const QString path = tools_test::writeScript(harness.folder(), "tool.sh", script);
        auto runner = std::make_unique<CProcessRunner>();
        EXPECT_TRUE(runner->Start(path, "tool", harness.folder()));
        return runner;
    }
    // Runs a script to its end with no window watching it.
    void runToEnd(const QByteArray &script) {
        start(script);
        ASSERT_TRUE(tools_test::waitUntil([] { return !IsProcessRunning(); }));
    }
    bool waitForEnd() {
        return QTest::qWaitFor([this] { return !dialog.isWatching(); }, 30000);
    }
    ProcessOutputWindow &window() { return *dialog.window(); }
    QString editText() { return window().outputEdit()->toPlainText(); }
    QString pane() { return harness.mainFrame().paneText(CMainFrame::MessagePane); }
    void runWindowCommand(const QString &text) {
        for (QAction *action : window().windowMenu()->actions()) {
            if (action->text() == text) {
                action->trigger();
            }
        }
    }
};

// The colour a line of the output edit is painted in: none, or the colour of its one range.
QColor paintedColour(COutputEdit &edit, int line) {
    edit.viewport()->repaint();
    const QList<QTextLayout::FormatRange> ranges =
        edit.document()->findBlockByNumber(line).layout()->formats();
    return ranges.isEmpty() ? QColor() : ranges.front().format.foreground().color();
}

// Error and warning lines take their colours as they are shown, also a line whose message
// arrives in two pieces; lines never shown are never coloured (colouring every line once gave
// each of the millions of lines of an endless output a layout of its own).
TEST(OutputColours, LinesShownTakeTheColourOfTheirMessage) {
    COutputEdit edit;
    edit.resize(500, 300);
    QString text =
        QStringLiteral("A.java:3: error: ';' expected\nA.java:5: warning: [removal] x\n");
    for (int line = 2; line < 5002; ++line) {
        text += line == 4000 ? QStringLiteral("B.java:1: error: far down\n")
                             : QStringLiteral("output line\n");
    }
    edit.setPlainText(text + QStringLiteral("A.java:9: err"));
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    EXPECT_EQ(paintedColour(edit, 0), CompilerMessageColours::kErrorColour);
    EXPECT_EQ(paintedColour(edit, 1), CompilerMessageColours::kWarningColour);
    EXPECT_EQ(paintedColour(edit, 2), QColor());
    EXPECT_TRUE(edit.document()->findBlockByNumber(4000).layout()->formats().isEmpty());
    edit.setTextCursor(QTextCursor(edit.document()->findBlockByNumber(4000)));
    edit.ensureCursorVisible();
    EXPECT_EQ(paintedColour(edit, 4000), CompilerMessageColours::kErrorColour);

    edit.moveCursor(QTextCursor::End);
    edit.insertPlainText(QStringLiteral("or: missing return"));
    edit.ensureCursorVisible();
    EXPECT_EQ(paintedColour(edit, 5002), CompilerMessageColours::kErrorColour);
}

// The lines the runtime prints for an uncaught exception are error lines, as they are shown;
// a program's own lines that only look a little like them are not.
TEST(OutputColours, StackTraceLinesAreErrorLines) {
    const std::pair<QString, bool> cases[] = {
        {"Exception in thread \"main\" java.lang.ArithmeticException: / by zero", true},
        {"\tat Calc.divide(Calc.java:12)", true},
        {"    at java.base/java.util.Scanner.nextInt(Scanner.java:2117)", true},
        {"Caused by: java.io.UncheckedIOException: gone", true},
        {"\t... 3 more", true},
        {"\tSuppressed: java.lang.IllegalStateException: x", true},
        {"at the store (twice)", false},
        {"\tat home", false},
        {"Result: 42", false},
    };
    COutputEdit edit;
    edit.resize(500, 300);
    QStringList lines;
    for (const auto &[line, isTrace] : cases) {
        EXPECT_EQ(CompilerMessageColours::isStackTraceLine(line), isTrace) << line.toStdString();
        lines << line;
    }
    edit.setPlainText(lines.join(u'\n'));
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    for (int line = 0; line < int(std::size(cases)); ++line) {
        EXPECT_EQ(paintedColour(edit, line),
                  cases[line].second ? CompilerMessageColours::kErrorColour : QColor())
            << line;
    }
}

TEST_F(OutputWindowTest, WatchesARunUntilTheTickThatSeesItsEnd) {
    harness.app().setToolCaption("Building \"/p/A.java\"");
    // A character split between two ticks comes out whole.
    dialog.Open(start(R"(printf 'first\ncaf\303'; sleep 1.5; printf '\251\n'; exit 3)"), &listener);
    ASSERT_TRUE(dialog.IsOpen());
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().windowTitle(), "Process Output");
    EXPECT_EQ(window().captionField()->text(),
              "Building \"/p/A.java\" \u2014 tool \u2014 in " + harness.folder());
    QStringList messages;
    const QDeadlineTimer deadline(30000);
    while (dialog.isWatching() && !deadline.hasExpired()) {
        QTest::qWait(5);
        if (messages.value(messages.size() - 1) != pane()) {
            messages << pane();
        }
    }
    messages.removeAll("Ready");
    ASSERT_GE(messages.size(), 3);
    EXPECT_EQ(messages.mid(0, 2), (QStringList{kDashes, kPlus}));
    EXPECT_EQ(messages.last(), kComplete);
    EXPECT_EQ(window().progressBar()->value(), 100);
    EXPECT_FALSE(dialog.holdsRunner());
    EXPECT_EQ(dialog.ShownText(), "first\r\ncafé\r\nExit code: 3\r\nThere were errors");
    EXPECT_EQ(editText(), "first\ncafé\nExit code: 3\nThere were errors");
}

TEST_F(OutputWindowTest, OpeningAfterTheRunShowsTheWholeTextAndStartsNoTimer) {
    runToEnd("echo done");
    dialog.Open(nullptr, &listener);
    EXPECT_FALSE(dialog.isWatching());
    EXPECT_EQ(editText(), "done\nExit code: 0\nNo Errors");
    EXPECT_EQ(window().progressBar()->value(), 0);
    QTest::qWait(2 * CProcessOutputDialog::kTimerPeriodMs);
    EXPECT_EQ(pane(), "Ready");
}

TEST_F(OutputWindowTest, ClosingWhenIdleTellsTheViewAfterTheCurrentEvent) {
    runToEnd("echo x");
    dialog.Open(nullptr, &listener);
    window().close();
    EXPECT_EQ(listener.closes, 0);
    AppHarness::processEvents();
    EXPECT_EQ(listener.closes, 1);
    EXPECT_TRUE(harness.prompter().messageTexts().isEmpty());

    // With no view to ask, the window goes at once and its text stays.
    dialog.DestroyWindow();
    dialog.Open(nullptr, nullptr);
    window().close();
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_EQ(dialog.ShownText(), "x\r\nExit code: 0\r\nNo Errors");
}

TEST_F(OutputWindowTest, PlaceIsSavedWhenTheWindowGoesAndUsedWhenItOpens) {
    dialog.Open(nullptr, &listener);
    window().setGeometry(100, 120, 400, 300);
    dialog.DestroyWindow();
    const auto stored = harness.storedSettings();
    EXPECT_EQ(stored->readInt(kOptions, "DLG_LEFT", 0), 100);
    EXPECT_EQ(stored->readInt(kOptions, "DLG_TOP", 0), 120);
    EXPECT_EQ(stored->readInt(kOptions, "DLG_RIGHT", 0), 500);
    EXPECT_EQ(stored->readInt(kOptions, "DLG_BOTTOM", 0), 420);

    CProcessOutputDialog another;
    another.Open(nullptr, &listener);
    EXPECT_EQ(another.window()->geometry(), QRect(100, 120, 400, 300));
    // A window that goes with its owner is recorded too.
    another.window()->setGeometry(50, 60, 9, 9);
    delete another.window();
    EXPECT_FALSE(another.IsOpen());
    EXPECT_EQ(harness.storedSettings()->readInt(kOptions, "DLG_LEFT", 0), 50);
    // A stored place too small to use gives a window that can be used.
    CProcessOutputDialog third;
    third.Open(nullptr, &listener);
    EXPECT_EQ(third.window()->geometry(), QRect(50, 60, 320, 140));
}

TEST_F(OutputWindowTest, EditFillsTheWindowBelowTheStripAndProgressWraps) {
    dialog.Open(nullptr, &listener);
    const QRect progressPlace = window().progressBar()->geometry();
    window().resize(640, 400);
    EXPECT_EQ(window().outputEdit()->geometry(), QRect(0, 22, 640, 378));
    EXPECT_EQ(window().progressBar()->geometry(), progressPlace);
    EXPECT_EQ(window().outputEdit()->lineWrapMode(), QPlainTextEdit::NoWrap);
    window().setProgress(99);
    window().stepProgress();
    EXPECT_EQ(window().progressBar()->value(), 100);
    window().stepProgress();
    EXPECT_EQ(window().progressBar()->value(), 0);
}

TEST_F(OutputWindowTest, SaveAsWritesTheShownBytesOrSaysItCannot) {
    runToEnd(R"(printf 'caf\303\251\nb')");
    dialog.Open(nullptr, &listener);
    const QString path = harness.folder() + "/out.txt";
    harness.prompter().saveAsNext(path);
    runWindowCommand("Save As...");
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "caf\xc3\xa9\r\nbExit code: 0\r\nNo Errors");
    const fw::FileDialogOptions &options = harness.prompter().fileDialogs().back();
    EXPECT_EQ(options.filter, "Text Files (*.txt)|*.txt||");
    EXPECT_EQ(options.defaultExtension, "txt");
    EXPECT_TRUE(options.overwritePrompt);

    harness.prompter().saveAsNext(harness.folder() + "/missing/out.txt");
    runWindowCommand("Save As...");
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{"Can't save file!"});
}

TEST_F(OutputWindowTest, FontIsSetOnTheTextAndStored) {
    dialog.Open(nullptr, &listener);
    harness.prompter().chooseFontNext(QFont("Liberation Serif", 14));
    runWindowCommand("Font...");
    EXPECT_EQ(window().outputEdit()->font().family(), "Liberation Serif");
    const auto stored = harness.storedSettings();
    EXPECT_EQ(stored->readString(kOptions, "DLGFONTNAME", ""), "Liberation Serif");
    EXPECT_EQ(stored->readInt(kOptions, "DLGFONTSIZE", 0), 140);
    EXPECT_EQ(harness.app().settings().outputFontSize, 140);
    // The window menu is offered by the edit's context menu too.
    const std::unique_ptr<QMenu> menu(window().outputEdit()->createContextMenu());
    EXPECT_EQ(menu->actions().mid(menu->actions().size() - 2), window().windowMenu()->actions());
}

// A run that prints without end is shown as its first 1,000 lines, one line saying how many
// were left out and its latest 10,000 lines, ending with the exit line and verdict, however much
// the runner itself left out.
TEST_F(OutputWindowTest, EndlessOutputIsShownAsFirstAndLatestLines) {
    const CapturedOutputLimits saved = CapturedOutputLimitsInUse();
    SetCapturedOutputLimits({64 * 1024, 256 * 1024, 128 * 1024});
    dialog.Open(start("yes 0123456789abcdef | head -n 200000; echo end"), &listener);
    const bool ended = waitForEnd();
    SetCapturedOutputLimits(saved);
    ASSERT_TRUE(ended);
    const QStringList lines = dialog.ShownText().split("\r\n");
    ASSERT_EQ(lines.size(), 1000 + 1 + 10000);
    EXPECT_EQ(lines.mid(0, 1000), QStringList(1000, "0123456789abcdef"));
    EXPECT_EQ(lines[1000], "... 189003 lines of output left out ...");
    EXPECT_EQ(lines.mid(1001, 9997), QStringList(9997, "0123456789abcdef"));
    EXPECT_EQ(lines.mid(10998), (QStringList{"end", "Exit code: 0", "No Errors"}));
    EXPECT_EQ(editText(), lines.join('\n'));
}

// A line of a megabyte shows its start, how long it is and its end; the lines after it and the
// exit line come at once. Save As keeps the line whole.
TEST_F(OutputWindowTest, LongLineIsShownShortenedAndSavedWhole) {
    dialog.Open(start("head -c 1000000 /dev/zero | tr '\\0' x; echo; echo after"), &listener);
    ASSERT_TRUE(waitForEnd());
    const QString shortened = QString(10000, 'x')
                              + " [... 989900 of the line's 1000000 characters not shown ...] "
                              + QString(100, 'x');
    EXPECT_EQ(editText(), shortened + "\nafter\nExit code: 0\nNo Errors");
    const QString path = harness.folder() + "/out.txt";
    harness.prompter().saveAsNext(path);
    runWindowCommand("Save As...");
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray(1000000, 'x') + "\r\nafter\r\nExit code: 0\r\nNo Errors");
}

// Text pasted into the input row goes to the program as typed: every line at once however many
// (here about 2 MB), what follows the last line end stays in the row. A line longer than the row
// holds is cut with a word to the user.
TEST_F(OutputWindowTest, PastedLinesAllReachTheProgramAndACutLineIsTold) {
    const QString path = tools_test::writeScript(harness.folder(), "count.sh", "exec wc -c");
    auto runner = std::make_unique<CProcessRunner>();
    ASSERT_TRUE(runner->Start(path, "count", harness.folder(), true));
    dialog.Open(std::move(runner), &listener);
    QLineEdit *line = window().inputLine();
    ASSERT_TRUE(window().isInputShown());
    QTest::keyClicks(line, "ab");
    QString pasted;
    for (int number = 0; number < 200000; ++number) {
        pasted += QString::number(number % 10).repeated(9) + "\n";
    }
    QGuiApplication::clipboard()->setText(pasted + "tail");
    QTest::keySequence(line, QKeySequence::Paste);
    EXPECT_EQ(line->text(), "tail");
    EXPECT_TRUE(harness.prompter().messageTexts().isEmpty());

    QGuiApplication::clipboard()->setText(QString(40000, 'y'));
    QTest::keySequence(line, QKeySequence::Paste);
    EXPECT_EQ(line->text().size(), 32767);
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{"The input line holds at most 32767 characters: the last 7237 of the "
                          "40000 characters pasted were left out."});
    QTest::keyClick(line, Qt::Key_D, Qt::ControlModifier);
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(dialog.ShownText().endsWith("\r\n2000002\r\nExit code: 0\r\nNo Errors"));
}

using testing_support::MeanwhilePrompter;

// Whatever happens while the abort question is up (the window closed again, hidden, or
// destroyed as the project view does when the window asks it to), the run can always be aborted
// and the window always be brought back.
TEST_F(OutputWindowTest, RunCanBeAbortedAndTheWindowBroughtBackWhateverHappensMeanwhile) {
    auto owned = std::make_unique<MeanwhilePrompter>();
    MeanwhilePrompter &prompter = *owned;
    std::unique_ptr<fw::Prompter> previous = fw::setPrompter(std::move(owned));
    const auto restore = qScopeGuard([&] { fw::setPrompter(std::move(previous)); });
    const QByteArray aborted = "Exit code: 11\r\nProcess terminated by user.";
    const std::function<void()> closeAgain = [this] { window().close(); };
    const std::function<void()> hide = [this] { window().hide(); };
    const std::function<void()> destroy = [this] { dialog.DestroyWindow(); };
    const struct {
        const char *name;
        std::function<void()> meanwhile;
        fw::Answer answer;
    } cases[] = {
        {"closed again, aborted", closeAgain, fw::Answer::Ok},
        {"closed again, kept", closeAgain, fw::Answer::Cancel},
        {"hidden, kept", hide, fw::Answer::Cancel},
        {"destroyed, aborted", destroy, fw::Answer::Ok},
        {"destroyed, kept", destroy, fw::Answer::Cancel},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.name);
        dialog.Open(start("echo started; exec sleep 1000"), &listener);
        ASSERT_TRUE(QTest::qWaitFor([this] { return editText().startsWith("started"); }, 30000));
        const qsizetype asked = prompter.messageTexts().size();
        prompter.meanwhile = test.meanwhile;
        prompter.answerNext(test.answer);
        QTest::keyClick(&window(), Qt::Key_Escape);
        AppHarness::processEvents();
        EXPECT_EQ(prompter.messageTexts().mid(asked),
                  QStringList{"The process is still running, do you wish to abort it?"});
        if (test.answer == fw::Answer::Ok) {
            EXPECT_TRUE(tools_test::waitUntil([] { return !IsProcessRunning(); }));
        } else {
            EXPECT_TRUE(IsProcessRunning());
        }
        // What "Show Compiler Output" does when the window is not open.
        if (!dialog.IsOpen()) {
            dialog.Open(nullptr, &listener);
        }
        ASSERT_TRUE(dialog.IsOpen());
        EXPECT_TRUE(window().isVisible());
        if (IsProcessRunning()) {
            prompter.answerNext(fw::Answer::Ok);
            window().close();
        }
        EXPECT_TRUE(tools_test::waitUntil([] { return !IsProcessRunning(); }));
        EXPECT_TRUE(ProcessOutputText().endsWith(aborted));
        EXPECT_TRUE(waitForEnd());
        EXPECT_TRUE(dialog.ShownText().endsWith(aborted));
    }
}

} // namespace
