#include "app/cfindinfilesdialog.h"
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "app/findinfiles.h"
#include "editors/csyntaxwindowdoc.h"
#include "framework/commandids.h"
#include "framework/view.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/projectfile.h"

#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

using testing_support::AppHarness;

// A project of three files in <scratch>/p, and Find in Files run from Ctrl+Shift+F.
class FindInFilesTest : public testing::Test {
protected:
    AppHarness harness;

    void SetUp() override {
        const QStringList names{"a/Counter.java", "b/FrequencyCounter.java", "c/Other.java"};
        harness.writeFile("p/a/Counter.java", "class Counter {\n    int count;\n}\n");
        harness.writeFile("p/b/FrequencyCounter.java",
                          "class FrequencyCounter {\n\tCounter counter = new Counter();\n}\n");
        harness.writeFile("p/c/Other.java", "class Other {}\n");
        ProjectFileContents contents;
        for (const QString &name : names) {
            auto file = std::make_unique<CJavaFile>();
            file->SetFileName(QFileInfo(name).fileName());
            file->SetPath(harness.folder() + "/p/" + name);
            contents.m_fileList.Add(file);
        }
        ASSERT_NE(harness.app().openDocumentFile(
                      harness.writeFile("p/Test.jpr", storeProjectFile(contents))),
                  nullptr);
    }
    QString path(const QString &name) const { return harness.folder() + "/p/" + name; }
    // Presses Ctrl+Shift+F and fills the dialog as given.
    void findWith(const std::function<void(CFindInFilesDialog &)> &fill) {
        harness.prompter().runDialogNext([fill](QDialog &dialog) {
            auto &find = dynamic_cast<CFindInFilesDialog &>(dialog);
            fill(find);
            find.accept();
            return find.result();
        });
        CMainFrame &frame = harness.mainFrame();
        frame.activateWindow();
        QTest::keyClick(&frame, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    }
    FindResultsWindow *results() const {
        return harness.mainFrame().findChild<FindResultsWindow *>();
    }
    bool waitForResults() {
        return QTest::qWaitFor(
            [this] { return results() && !results()->stopButton()->isEnabled(); }, 10000);
    }
    QStringList resultLines() const { return results()->view()->toPlainText().split('\n'); }
    // The active window's file and its selected text, with the line of the selection (1-based).
    QString selectionInActiveWindow() const {
        fw::Document *document = harness.mainFrame().activeDocument();
        auto *edit =
            document ? qobject_cast<QPlainTextEdit *>(document->firstView()->widget()) : nullptr;
        if (!edit) {
            return "<none>";
        }
        const QTextCursor cursor = edit->textCursor();
        return QFileInfo(document->pathName()).fileName() + ":"
               + QString::number(cursor.block().blockNumber() + 1) + ":"
               + QString::number(cursor.selectionStart() - cursor.block().position()) + ":"
               + cursor.selectedText();
    }
};

TEST_F(FindInFilesTest, ResultsListEachMatchAndOpenItWhereItIs) {
    findWith([](CFindInFilesDialog &dialog) {
        dialog.textEdit()->setEditText("counter");
        dialog.wholeWordBox()->setChecked(true);
    });
    ASSERT_TRUE(waitForResults());
    EXPECT_EQ(
        resultLines(),
        (QStringList{"Find \"counter\" in the project's files", "a/Counter.java:1: class Counter {",
                     "b/FrequencyCounter.java:2: \tCounter counter = new Counter();",
                     "b/FrequencyCounter.java:2: \tCounter counter = new Counter();",
                     "b/FrequencyCounter.java:2: \tCounter counter = new Counter();"}));
    EXPECT_EQ(results()->caption()->text(), "4 matches in 2 files (3 files searched)");

    // A double-click opens the file with the match selected.
    FindResultsView *view = results()->view();
    QTextCursor third(view->document()->findBlockByNumber(3));
    view->setTextCursor(third);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(third).center());
    EXPECT_EQ(selectionInActiveWindow(), "FrequencyCounter.java:2:9:counter");

    // F4 and Shift+F4 go on from there, round at the ends.
    CMainFrame &frame = harness.mainFrame();
    ASSERT_TRUE(frame.commandState(CommandId::NextMessage).isEnabled());
    frame.executeCommand(CommandId::NextMessage);
    EXPECT_EQ(selectionInActiveWindow(), "FrequencyCounter.java:2:23:Counter");
    frame.executeCommand(CommandId::NextMessage);
    EXPECT_EQ(selectionInActiveWindow(), "Counter.java:1:6:Counter");
    frame.executeCommand(CommandId::PreviousMessage);
    EXPECT_EQ(selectionInActiveWindow(), "FrequencyCounter.java:2:23:Counter");
    EXPECT_EQ(view->textCursor().blockNumber(), 4);
}

// An open window's unsaved text is searched instead of its file, and a folder is searched with
// its subfolders.
TEST_F(FindInFilesTest, UnsavedTextIsSearchedInPlaceOfTheFile) {
    auto *other =
        dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(path("c/Other.java")));
    ASSERT_NE(other, nullptr);
    QTest::keyClicks(other->firstView()->widget(), "// a Counter here");
    QTest::keyClick(other->firstView()->widget(), Qt::Key_Return);
    ASSERT_TRUE(other->isModified());
    findWith([this](CFindInFilesDialog &dialog) {
        dialog.textEdit()->setEditText("Count\\w+");
        dialog.regularExpressionBox()->setChecked(true);
        dialog.matchCaseBox()->setChecked(true);
        dialog.scopeBox()->setCurrentIndex(CFindInFilesDialog::ChosenFolder);
        dialog.folderEdit()->setText(harness.folder() + "/p");
    });
    ASSERT_TRUE(waitForResults());
    const QStringList lines = resultLines();
    EXPECT_EQ(lines.size(), 6) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains("c/Other.java:1: // a Counter here"))
        << lines.join('\n').toStdString();
}

TEST_F(FindInFilesTest, BadQueryIsRefusedAndTheDialogStays) {
    findWith([](CFindInFilesDialog &dialog) {
        dialog.textEdit()->setEditText("(open");
        dialog.regularExpressionBox()->setChecked(true);
    });
    ASSERT_EQ(harness.prompter().messageTexts().size(), 1);
    EXPECT_TRUE(harness.prompter().messageTexts().first().startsWith(
        "The regular expression is not valid"));
    EXPECT_EQ(results(), nullptr);
}

} // namespace
