// Errors as you type, in a real Tarvo with the real JDK: a source window of a project shows the
// compiler's errors a moment after typing stops, with the unsaved texts of the other windows,
// and they clear as the text is mended.
#include "app/cketrelapp.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "editors/linemarks.h"
#include "editors/livechecker.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/projectfile.h"
#include "services/appsettings.h"
#include "support/appharness.h"
#include "support/qtprinters.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processrunner.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

using testing_support::AppHarness;

class LiveCheckTest : public testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo(jdk + "/bin/javac").isExecutable()) {
            GTEST_SKIP() << "no JDK found";
        }
        harness.app().settings().jdkFolder = jdk;
        harness.app().settings().saveBeforeCompile = 0;
        harness.app().setAppFolder(QDir::cleanPath(TARVO_TEST_DATA_DIR "/../../../res"));
        ProjectFileContents contents;
        for (const auto &[name, text] :
             {std::pair{"Main.java", "class Main {\n    void f() {\n    }\n}\n"},
              {"Helper.java", "class Helper {\n}\n"}}) {
            auto file = std::make_unique<CJavaFile>();
            file->SetFileName(name);
            file->SetPath(harness.writeFile(QString("src/") + name, text));
            contents.m_fileList.Add(file);
        }
        contents.m_strMainFile = "Main.java";
        project = dynamic_cast<CJavaProjectDoc *>(harness.app().openDocumentFile(
            harness.writeFile("Live.jpr", storeProjectFile(contents))));
        ASSERT_NE(project, nullptr);
    }
    CSyntaxWindowDoc *open(const QString &name) {
        return dynamic_cast<CSyntaxWindowDoc *>(
            harness.app().openDocumentFile(harness.folder() + "/src/" + name));
    }
    // Types text at the end of a 0-based line of the window.
    static void typeAt(CSyntaxWindowDoc *document, int line, const QString &text) {
        CSyntaxWindowView *view = document->firstSourceView();
        QTextCursor cursor(view->document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::EndOfBlock);
        view->setTextCursor(cursor);
        view->setFocus();
        QTest::keyClicks(view, text);
    }
    // Waits until the window's last check has come back.
    static bool waitForCheck(CSyntaxWindowDoc *document) {
        return QTest::qWaitFor([document] { return !document->liveChecker().isPending(); }, 120000);
    }
    static QList<int> markedLines(CSyntaxWindowDoc *document) {
        return document->lineMarks().markedLines().keys();
    }

    const QString jdk = AppSettings::defaultJdkFolder();
    AppHarness harness;
    CJavaProjectDoc *project = nullptr;
};

TEST_F(LiveCheckTest, ErrorsAppearAsTypedAndClearWhenAnotherWindowsUnsavedTextMendsThem) {
    CSyntaxWindowDoc *main = open("Main.java");
    ASSERT_NE(main, nullptr);
    typeAt(main, 1, " int n = new Helper().size();");
    ASSERT_TRUE(waitForCheck(main));
    EXPECT_EQ(markedLines(main), QList<int>{1});
    const QList<LiveChecker::Finding> findings = main->liveChecker().findings();
    ASSERT_EQ(findings.size(), 1);
    EXPECT_EQ(findings[0].kind, javaservice::Diagnostic::Kind::Error);
    EXPECT_TRUE(findings[0].range.selectedText().contains("size"))
        << findings[0].range.selectedText().toStdString();
    CSyntaxWindowView *view = main->firstSourceView();
    ASSERT_EQ(view->extraSelections().size(), 1);
    EXPECT_EQ(view->extraSelections()[0].format.underlineStyle(), QTextCharFormat::WaveUnderline);
    QTextCursor inside = findings[0].range;
    inside.setPosition(findings[0].range.selectionStart() + 1);
    const QPoint point = view->cursorRect(inside).center() + QPoint(2, 0);
    EXPECT_TRUE(view->findingToolTipAt(point).startsWith("error: cannot find symbol"))
        << view->findingToolTipAt(point).toStdString();

    // The method comes in Helper's window, unsaved; a change in Main checks it again.
    CSyntaxWindowDoc *helper = open("Helper.java");
    ASSERT_NE(helper, nullptr);
    typeAt(helper, 0, " int size() { return 0; }");
    ASSERT_TRUE(waitForCheck(helper));
    EXPECT_TRUE(markedLines(helper).isEmpty());
    typeAt(main, 2, " ");
    ASSERT_TRUE(waitForCheck(main));
    EXPECT_TRUE(markedLines(main).isEmpty());
    EXPECT_TRUE(main->liveChecker().findings().isEmpty());
    EXPECT_TRUE(view->extraSelections().isEmpty());
    EXPECT_TRUE(QFileInfo(harness.folder() + "/src/Helper.java").size() < 20);
}

// A build's marks show until the window is checked as typed; then the newest answer shows. An
// answer for a text that has changed since never shows.
TEST_F(LiveCheckTest, BuildMarksGiveWayToTheCheckOfTheTextAsTypedAndStaleAnswersAreDropped) {
    harness.writeFile("src/Main.java", "class Main {\n    int x = \"s\";\n}\n");
    CSyntaxWindowDoc *main = open("Main.java");
    ASSERT_NE(main, nullptr);
    project->Build();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return !IsProcessRunning() && !project->m_pOutputWnd->isWatching(); }, 120000));
    EXPECT_EQ(markedLines(main), QList<int>{1});
    // An error typed, and mended before its check can answer: only the mended text counts.
    typeAt(main, 2, " int y = ;");
    QTest::qWait(LiveChecker::kDelayMs + 50);
    for (int key = 0; key < 10; ++key) {
        QTest::keyClick(main->firstSourceView(), Qt::Key_Backspace);
    }
    QTextCursor line(main->firstSourceView()->document()->findBlockByNumber(1));
    line.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    main->firstSourceView()->setTextCursor(line);
    QTest::keyClicks(main->firstSourceView(), "    int x = 1;");
    ASSERT_TRUE(waitForCheck(main));
    EXPECT_EQ(main->editorText(), "class Main {\n    int x = 1;\n}\n");
    EXPECT_TRUE(markedLines(main).isEmpty());
    EXPECT_TRUE(main->liveChecker().findings().isEmpty());
}

} // namespace
