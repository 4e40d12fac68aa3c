#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "app/fileposition.h"
#include "editors/cgotolinedialog.h"
#include "editors/csyntaxwindowdoc.h"
#include "framework/commandids.h"
#include "framework/document.h"
#include "framework/frame.h"
#include "framework/prompter.h"
#include "framework/resourcetables.h"
#include "framework/view.h"
#include "support/appharness.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace {

using testing_support::AppHarness;

const QByteArray kTenLines("class A {\n  int a;\n  int b;\n  int c;\n  int d;\n"
                           "  int e;\n  int f;\n  int g;\n  int h;\n}\n");

QPlainTextEdit *activeEditor(AppHarness &harness) {
    fw::View *view = harness.mainFrame().activeView();
    return view ? qobject_cast<QPlainTextEdit *>(view->widget()) : nullptr;
}

// The 0-based line of the selection's start and the selected text.
int selectedLine(const QPlainTextEdit &editor) {
    return editor.document()->findBlock(editor.textCursor().selectionStart()).blockNumber();
}

QString titleOfActive(AppHarness &harness) {
    fw::Document *document = harness.mainFrame().activeDocument();
    return document ? document->title() : QString();
}

QStringList itemsOf(QMenu *menu) {
    QStringList items;
    for (QAction *action : menu->actions()) {
        items << action->text();
    }
    return items;
}

// --- Go to Line --------------------------------------------------------------------------------

// Answers the Go to Line dialog by typing a number into it, and records what it offered.
struct GoToLineScript {
    QString typed;
    int maximum = 0;
    int offered = 0;

    int operator()(QDialog &dialog) {
        auto *goTo = dynamic_cast<CGoToLineDialog *>(&dialog);
        if (!goTo) {
            return QDialog::Rejected;
        }
        maximum = goTo->lineField()->maximum();
        offered = goTo->lineField()->value();
        if (typed.isEmpty()) {
            return QDialog::Rejected;
        }
        goTo->lineField()->selectAll();
        QTest::keyClicks(goTo->lineField(), typed);
        return QDialog::Accepted;
    }
};

TEST(GoToLine, AcceleratorIsCtrlGAndNoTableGivesAKeyTwice) {
    AppHarness harness;
    const fw::ResourceTables &tables = harness.app().tables();
    for (const int table : {128, 129, 130, 131}) {
        QStringList keys;
        for (const fw::Accelerator &accelerator : tables.accelerators(table)) {
            keys << QKeySequence(accelerator.key).toString();
        }
        if (table != 128) {
            for (const fw::Accelerator &accelerator : tables.accelerators(128)) {
                keys << QKeySequence(accelerator.key).toString();
            }
        }
        EXPECT_EQ(keys.removeDuplicates(), 0) << table;
        EXPECT_EQ(keys.contains(QStringLiteral("Ctrl+G")), table == 129 || table == 131) << table;
    }
    for (const int menu : {129, 130, 131}) {
        for (QMenu *popup : harness.mainFrame().menus(menu)) {
            if (popup->title() == QStringLiteral("&Edit")) {
                const QStringList items = itemsOf(popup);
                const qsizetype replace = items.indexOf(QStringLiteral("Replace...\tCtrl+H"));
                ASSERT_GE(replace, 0);
                EXPECT_EQ(items.value(replace + 1), QStringLiteral("Go to Line...\tCtrl+G"));
            }
        }
    }
}

// Ctrl+G in a source window asks for a line, offering the caret's line and the window's
// number of lines, and selects the line typed; Cancel leaves the selection alone.
TEST(GoToLine, CtrlGInASourceWindowSelectsTheLineTyped) {
    AppHarness harness;
    harness.app().openDocumentFile(harness.writeFile(QStringLiteral("A.java"), kTenLines));
    QPlainTextEdit *editor = activeEditor(harness);
    ASSERT_NE(editor, nullptr);
    QTextCursor caret(editor->document()->findBlockByNumber(2));
    editor->setTextCursor(caret);

    // The tip of the day may have run at start-up: count from here.
    const int dialogsBefore = harness.prompter().dialogsRun();
    GoToLineScript cancelled;
    harness.prompter().runDialogNext(std::ref(cancelled));
    QTest::keyClick(editor, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(harness.prompter().dialogsRun(), dialogsBefore + 1);
    EXPECT_EQ(cancelled.offered, 3);
    EXPECT_EQ(cancelled.maximum, 11); // the empty line after the last line break counts
    EXPECT_EQ(editor->textCursor().position(), caret.position());

    GoToLineScript seven{QStringLiteral("7")};
    harness.prompter().runDialogNext(std::ref(seven));
    QTest::keyClick(editor, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(harness.prompter().dialogsRun(), dialogsBefore + 2);
    EXPECT_EQ(selectedLine(*editor), 6);
    EXPECT_EQ(editor->textCursor().selectedText(), QStringLiteral("  int f;"));
    EXPECT_EQ(harness.mainFrame().paneText(CMainFrame::LinePane), QStringLiteral("Line: 7"));
}

// The same command in an HTML window, from the Edit menu.
TEST(GoToLine, EditMenuItemInAnHtmlWindowSelectsTheLineTyped) {
    AppHarness harness;
    harness.app().openDocumentFile(
        harness.writeFile(QStringLiteral("page.html"), "<html>\n<body>\n<p>x</p>\n</body>\n"));
    QPlainTextEdit *editor = activeEditor(harness);
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(harness.mainFrame().currentMenuId(), 131);
    GoToLineScript three{QStringLiteral("3")};
    harness.prompter().runDialogNext(std::ref(three));
    ASSERT_TRUE(harness.mainFrame().commandState(CommandId::GoToLine).isEnabled());
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::GoToLine));
    EXPECT_EQ(three.maximum, 5);
    EXPECT_EQ(editor->textCursor().selectedText(), QStringLiteral("<p>x</p>"));
}

// --- FILE:LINE on the command line -------------------------------------------------------------

struct PositionCase {
    const char *name;
    QString argument; // below the scratch folder
    QString path;     // below the scratch folder
    int line;
    int column;
};

class FilePositionTest : public testing::TestWithParam<PositionCase> {};

TEST_P(FilePositionTest, SplitsOffASuffixOnlyWhenTheRestIsAFile) {
    const QString folder = testing_support::makeScratchFolder(QStringLiteral("positions"));
    for (const char *name : {"A.java", "B.java:3", "C.java", "C.java:3", "D.java:3"}) {
        testing_support::writeFileIn(folder, QString::fromLatin1(name), "class X {}\n");
    }
    const PositionCase &test = GetParam();
    const FilePosition position = splitFilePosition(folder + QLatin1Char('/') + test.argument);
    EXPECT_EQ(position.path, folder + QLatin1Char('/') + test.path);
    EXPECT_EQ(position.line, test.line);
    EXPECT_EQ(position.column, test.column);
}

const PositionCase kPositionCases[] = {
    {"PlainFile", "A.java", "A.java", 0, 0},
    {"Line", "A.java:42", "A.java", 42, 0},
    {"LineAndColumn", "A.java:42:7", "A.java", 42, 7},
    {"FileWhoseNameEndsInANumber", "B.java:3", "B.java:3", 0, 0},
    {"LineOfAFileWhoseNameEndsInANumber", "D.java:3:4", "D.java:3", 4, 0},
    {"ColumnRatherThanSuchAFile", "C.java:3:4", "C.java", 3, 4},
    {"MissingFileIsTakenWhole", "Gone.java:4", "Gone.java:4", 0, 0},
    {"EmptyLine", "A.java:", "A.java:", 0, 0},
    {"LetterForLine", "A.java:x", "A.java:x", 0, 0},
    {"NegativeLine", "A.java:-1", "A.java:-1", 0, 0},
    {"LineTooLong", "A.java:12345678901", "A.java:12345678901", 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Names, FilePositionTest, testing::ValuesIn(kPositionCases),
                         testing_support::CaseName());

TEST(FileLine, CommandLineOpensTheFileAtTheLineOrColumn) {
    const QString folder = testing_support::makeScratchFolder(QStringLiteral("fileline"));
    const QString path = testing_support::writeFileIn(folder, QStringLiteral("A.java"), kTenLines);
    {
        AppHarness harness({path + QStringLiteral(":4")});
        ASSERT_TRUE(harness.started());
        QPlainTextEdit *editor = activeEditor(harness);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(titleOfActive(harness), QStringLiteral("A.java"));
        EXPECT_EQ(editor->textCursor().selectedText(), QStringLiteral("  int c;"));
    }
    AppHarness harness({path + QStringLiteral(":5:5")});
    QPlainTextEdit *editor = activeEditor(harness);
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->textCursor().hasSelection());
    EXPECT_EQ(selectedLine(*editor), 4);
    EXPECT_EQ(editor->textCursor().positionInBlock(), 4);
}

// A later start hands its names over: the file opens, or comes forward, at the line.
TEST(FileLine, SecondStartOpensTheFileAtTheLine) {
    AppHarness harness;
    const QString path = harness.writeFile(QStringLiteral("A.java"), kTenLines);
    harness.app().OpenHandedFiles({path + QStringLiteral(":9")});
    AppHarness::processEvents();
    QPlainTextEdit *editor = activeEditor(harness);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->textCursor().selectedText(), QStringLiteral("  int h;"));
    harness.app().OpenHandedFiles({path + QStringLiteral(":2")});
    AppHarness::processEvents();
    EXPECT_EQ(harness.mainFrame().frames().size(), 1u);
    EXPECT_EQ(editor->textCursor().selectedText(), QStringLiteral("  int a;"));
}

// A file whose real name ends like a position opens as itself; an HTML page opens at its line.
TEST(FileLine, FileNamedLikeAPositionOpensAsItselfAndPagesOpenAtTheLine) {
    AppHarness harness;
    const QString odd = harness.writeFile(QStringLiteral("Odd.java:2"), "class Odd {}\n");
    const QString page = harness.writeFile(QStringLiteral("page.html"), "<html>\n<p>x</p>\n");
    harness.app().OpenHandedFiles({odd, page + QStringLiteral(":2")});
    AppHarness::processEvents();
    QStringList titles;
    for (fw::Frame *frame : harness.mainFrame().frames()) {
        titles << frame->document()->title();
    }
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Odd.java:2"), QStringLiteral("page.html")}));
    ASSERT_NE(activeEditor(harness), nullptr);
    EXPECT_EQ(activeEditor(harness)->textCursor().selectedText(), QStringLiteral("<p>x</p>"));
}

// --- Keyboard focus ----------------------------------------------------------------------------

// The prompter of a desktop: every file dialog and font chooser is a real modal dialog that
// shows and closes (at once, as if the user answered it) before the scripted answer is given.
class ShowingPrompter : public testing_support::ScriptedPrompter {
public:
    QStringList openFiles(const fw::FileDialogOptions &options) override {
        showAndClose();
        return ScriptedPrompter::openFiles(options);
    }
    std::optional<QFont> chooseFont(const QFont &initial) override {
        showAndClose();
        return ScriptedPrompter::chooseFont(initial);
    }

private:
    static void showAndClose() {
        QDialog dialog(QApplication::activeWindow());
        QTimer::singleShot(0, &dialog, &QDialog::accept);
        dialog.exec();
    }
};

// Installs a ShowingPrompter for its lifetime.
class ShowingDialogs {
public:
    ShowingDialogs()
        : m_prompter(new ShowingPrompter)
        , m_previous(fw::setPrompter(std::unique_ptr<fw::Prompter>(m_prompter))) {}
    ~ShowingDialogs() { fw::setPrompter(std::move(m_previous)); }
    ShowingDialogs(const ShowingDialogs &) = delete;
    ShowingDialogs &operator=(const ShowingDialogs &) = delete;

    ShowingPrompter &operator*() const { return *m_prompter; }

private:
    ShowingPrompter *m_prompter;
    std::unique_ptr<fw::Prompter> m_previous;
};

bool keyboardIsIn(AppHarness &harness, QWidget *widget) {
    return QTest::qWaitFor(
        [&] {
            return QApplication::activeWindow() == &harness.mainFrame()
                   && QApplication::focusWidget() == widget;
        },
        2000);
}

// File > Open: the window that opens has the keyboard, and its accelerators (Ctrl+] here)
// work without a click into it.
TEST(Focus, WindowOpenedFromTheOpenDialogTakesItsAcceleratorsAtOnce) {
    AppHarness harness;
    const QString path = harness.writeFile(QStringLiteral("A.java"), "class A {}\n");
    ShowingDialogs dialogs;
    (*dialogs).chooseFilesNext({path});
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::FileOpen));
    QPlainTextEdit *opened = activeEditor(harness);
    ASSERT_NE(opened, nullptr);
    ASSERT_TRUE(keyboardIsIn(harness, opened));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_BracketRight, Qt::ControlModifier);
    EXPECT_EQ(opened->toPlainText(), QStringLiteral("\tclass A {}\n"));
}

// Edit > Font... > OK: the keyboard goes back to the window the dialog was called from, and a
// main-window accelerator (Ctrl+N) works at once; so it does after Cancel.
TEST(Focus, ClosedDialogReturnsTheKeyboardToItsWindow) {
    AppHarness harness;
    harness.app().openDocumentFile(harness.writeFile(QStringLiteral("A.java"), "class A {}\n"));
    QPlainTextEdit *editor = activeEditor(harness);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(keyboardIsIn(harness, editor));
    ShowingDialogs dialogs;
    (*dialogs).chooseFontNext(QFont(QStringLiteral("Courier New"), 12));
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::Font));
    ASSERT_TRUE(keyboardIsIn(harness, editor));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
    AppHarness::processEvents();
    EXPECT_EQ(harness.mainFrame().frames().size(), 2u);
    QPlainTextEdit *created = activeEditor(harness);
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(titleOfActive(harness).startsWith(QStringLiteral("Vosk")));

    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::Font));
    ASSERT_TRUE(keyboardIsIn(harness, created));
}

} // namespace
