// Reaching a place in a file: Go to Line, FILE:LINE names, and where the keyboard is after a
// window opens from a dialog.
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "app/fileposition.h"
#include "editors/cgotolinedialog.h"
#include "editors/linejump.h"
#include "framework/commandids.h"
#include "framework/document.h"
#include "framework/prompter.h"
#include "framework/view.h"
#include "support/appharness.h"
#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <gtest/gtest.h>

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

// Ctrl+G offers the caret's line and Cancel leaves the caret alone. The line typed is gone to:
// the caret at its first non-blank, nothing selected, the line highlighted until the caret
// leaves it.
TEST(GoToLine, CtrlGOffersTheCaretsLineAndGoesToTheLineTyped) {
    AppHarness harness;
    harness.app().openDocumentFile(harness.writeFile(QStringLiteral("A.java"), kTenLines));
    QPlainTextEdit *editor = activeEditor(harness);
    ASSERT_NE(editor, nullptr);
    editor->setTextCursor(QTextCursor(editor->document()->findBlockByNumber(2)));
    const int caret = editor->textCursor().position();
    int offered = 0;
    harness.prompter().runDialogNext([&](QDialog &dialog) {
        offered = dynamic_cast<CGoToLineDialog &>(dialog).lineField()->value();
        return int(QDialog::Rejected);
    });
    QTest::keyClick(editor, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(offered, 3);
    EXPECT_EQ(editor->textCursor().position(), caret);

    harness.prompter().runDialogNext([](QDialog &dialog) {
        QSpinBox *line = dynamic_cast<CGoToLineDialog &>(dialog).lineField();
        line->selectAll();
        QTest::keyClicks(line, QStringLiteral("7"));
        return int(QDialog::Accepted);
    });
    QTest::keyClick(editor, Qt::Key_G, Qt::ControlModifier);
    EXPECT_FALSE(editor->textCursor().hasSelection());
    EXPECT_EQ(editor->textCursor().blockNumber(), 6);
    EXPECT_EQ(editor->textCursor().positionInBlock(), 2);
    EXPECT_EQ(editors::highlightedJumpLine(*editor), 6);
    QTest::keyClicks(editor, QStringLiteral("final "));
    EXPECT_EQ(editor->textCursor().block().text(), QStringLiteral("  final int f;"));
    EXPECT_EQ(editors::highlightedJumpLine(*editor), 6);
    QTest::keyClick(editor, Qt::Key_Up);
    EXPECT_EQ(editors::highlightedJumpLine(*editor), -1);
}

// A suffix is split off as line (and column) only when what is left names a file.
TEST(FileLine, SplitsOffASuffixOnlyWhenTheRestIsAFile) {
    const QString folder = testing_support::makeScratchFolder(QStringLiteral("positions"));
    for (const char *name : {"A.java", "B.java:3", "C.java", "C.java:3"}) {
        testing_support::writeFileIn(folder, QString::fromLatin1(name), "class X {}\n");
    }
    const struct {
        const char *argument, *path;
        int line, column;
    } cases[] = {
        {"A.java:42:7", "A.java", 42, 7}, {"B.java:3", "B.java:3", 0, 0},
        {"C.java:3:4", "C.java", 3, 4},   {"Gone.java:4", "Gone.java:4", 0, 0},
        {"A.java:-1", "A.java:-1", 0, 0},
    };
    for (const auto &test : cases) {
        const FilePosition position =
            splitFilePosition(folder + QLatin1Char('/') + QLatin1String(test.argument));
        EXPECT_EQ(position.path, folder + QLatin1Char('/') + QLatin1String(test.path))
            << test.argument;
        EXPECT_EQ(position.line, test.line) << test.argument;
        EXPECT_EQ(position.column, test.column) << test.argument;
    }
}

// From the command line the file opens at the line named after it.
TEST(FileLine, CommandLineOpensTheFileAtTheLine) {
    const QString path =
        testing_support::writeFileIn(testing_support::makeScratchFolder(QStringLiteral("fileline")),
                                     QStringLiteral("A.java"), kTenLines);
    AppHarness harness({path + QStringLiteral(":4")});
    ASSERT_TRUE(harness.started());
    ASSERT_NE(activeEditor(harness), nullptr);
    EXPECT_EQ(harness.mainFrame().activeDocument()->title(), QStringLiteral("A.java"));
    EXPECT_EQ(activeEditor(harness)->textCursor().selectedText(), QStringLiteral("  int c;"));
}

// A desktop prompter: file and font dialogs really show and close before the scripted answer.
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

bool keyboardIsIn(AppHarness &harness, QWidget *widget) {
    return QTest::qWaitFor(
        [&] {
            return QApplication::activeWindow() == &harness.mainFrame()
                   && QApplication::focusWidget() == widget;
        },
        2000);
}

// The window opened by File > Open takes its accelerators (Ctrl+]) without a click, and after
// Edit > Font the keyboard is back in the window the dialog was called from.
TEST(Focus, KeyboardIsInTheWindowAfterFileOpenAndAfterADialog) {
    AppHarness harness;
    const QString path = harness.writeFile(QStringLiteral("A.java"), "class A {}\n");
    auto *prompter = new ShowingPrompter;
    struct Restore {
        std::unique_ptr<fw::Prompter> previous;
        ~Restore() { fw::setPrompter(std::move(previous)); }
    } restore{fw::setPrompter(std::unique_ptr<fw::Prompter>(prompter))};
    prompter->chooseFilesNext({path});
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::FileOpen));
    QPlainTextEdit *opened = activeEditor(harness);
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(keyboardIsIn(harness, opened));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_BracketRight, Qt::ControlModifier);
    EXPECT_EQ(opened->toPlainText(), QStringLiteral("\tclass A {}\n"));

    prompter->chooseFontNext(QFont(QStringLiteral("Courier New"), 12));
    EXPECT_TRUE(harness.mainFrame().executeCommand(CommandId::Font));
    EXPECT_TRUE(keyboardIsIn(harness, opened));
}

} // namespace
