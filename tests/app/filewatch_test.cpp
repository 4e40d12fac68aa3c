#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "framework/commandids.h"
#include "framework/filechangewatcher.h"
#include "framework/view.h"
#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using testing_support::AppHarness;

// A source window open on A.java in a Tarvo that has the focus.
class FileWatchTest : public testing::Test {
protected:
    AppHarness harness;
    QString path;
    CSyntaxWindowDoc *document = nullptr;

    void SetUp() override {
        path = harness.writeFile("A.java", "class A {}\n");
        document = dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(path));
        ASSERT_NE(document, nullptr);
        harness.mainFrame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&harness.mainFrame()));
        AppHarness::processEvents();
        harness.prompter().clear();
    }
    QString reloadQuestion() const {
        return QStringLiteral("%1 was changed by another program. Reload it?").arg(path);
    }
    bool waitForQuestion() {
        return QTest::qWaitFor(
            [this] { return harness.prompter().messageTexts().contains(reloadQuestion()); }, 5000);
    }
    QString shownText() const { return document->editorText(); }
};

// Restored from a shell while the window was open and unmodified, the file kept its old text
// with no word until Tarvo lost and regained the focus.
TEST_F(FileWatchTest, FileRestoredFromOutsideIsOfferedForReloadAtOnce) {
    harness.prompter().answerNext(fw::Answer::Yes);
    harness.writeFile("A.java", "class A { int restored; }\n");
    ASSERT_TRUE(waitForQuestion());
    EXPECT_EQ(shownText(), "class A { int restored; }\n");
    EXPECT_FALSE(document->isModified());

    // A program that saves by renaming a new file over the old one is noticed as well, again
    // and again.
    harness.prompter().clear();
    harness.prompter().answerNext(fw::Answer::Yes);
    harness.writeFile("A.java.new", "class A { int renamed; }\n");
    ASSERT_EQ(
        ::rename(QFile::encodeName(path + ".new").constData(), QFile::encodeName(path).constData()),
        0);
    ASSERT_TRUE(waitForQuestion());
    EXPECT_EQ(shownText(), "class A { int renamed; }\n");
}

TEST_F(FileWatchTest, WindowWithUnsavedEditsKeepsTheQuestionForItsSave) {
    QTest::keyClicks(document->firstView()->widget(), "x");
    ASSERT_TRUE(document->isModified());
    harness.writeFile("A.java", "class A { int theirs; }\n");
    QTest::qWait(3 * fw::FileChangeWatcher::kSettleMs);
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList());

    harness.prompter().answerNext(fw::Answer::No);
    harness.mainFrame().executeCommand(CommandId::FileSave);
    EXPECT_EQ(
        harness.prompter().messageTexts(),
        QStringList{
            QStringLiteral("%1 was changed by another program. Save and replace it?").arg(path)});
    EXPECT_TRUE(document->isModified());
}

TEST_F(FileWatchTest, ClosedWindowsFileIsNoLongerWatched) {
    EXPECT_EQ(harness.app().fileWatcher().files(), QStringList{path});
    document->onCloseDocument();
    AppHarness::processEvents();
    EXPECT_EQ(harness.app().fileWatcher().files(), QStringList());
}

} // namespace
