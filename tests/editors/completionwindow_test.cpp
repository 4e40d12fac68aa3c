// Code completion in a real Tarvo with the real JDK: a source window of a project lists the
// members of what is before a '.', the names in scope at Ctrl+Space, follows what is typed,
// inserts methods and imports, copes with a line still being typed, and without the Java
// service still offers the names the scans and the open windows know.
#include "app/cketrelapp.h"
#include "editors/completioncontroller.h"
#include "editors/completionpopup.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/projectfile.h"
#include "services/appsettings.h"
#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

using testing_support::AppHarness;

// Line 8 is the empty line of f, where the tests type.
constexpr char kMain[] = "import java.util.List;\n"
                         "\n"
                         "class Main {\n"
                         "    private int total;\n"
                         "    void f(List<String> names, Helper helper) {\n"
                         "        String s = \"x\";\n"
                         "        int count = 1;\n"
                         "        { int hidden = 2; }\n"
                         "\n"
                         "        total = count;\n"
                         "    }\n"
                         "    void g() { int other = 3; }\n"
                         "}\n";
constexpr int kTypingLine = 8;

class CompletionWindowTest : public testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo(jdk + "/bin/javac").isExecutable()) {
            GTEST_SKIP() << "no JDK found";
        }
        harness.app().settings().jdkFolder = jdk;
        harness.app().setAppFolder(QDir::cleanPath(TARVO_TEST_DATA_DIR "/../../../res"));
        ProjectFileContents contents;
        for (const auto &[name, text] :
             {std::pair{"Main.java", kMain},
              {"Helper.java", "public class Helper {\n    public int size;\n"
                              "    private int secret;\n"
                              "    public String describe(int width) { return \"\"; }\n}\n"}}) {
            auto file = std::make_unique<CJavaFile>();
            file->SetFileName(name);
            file->SetPath(harness.writeFile(QString("src/") + name, text));
            contents.m_fileList.Add(file);
        }
        contents.m_strMainFile = "Main.java";
        ASSERT_NE(harness.app().openDocumentFile(
                      harness.writeFile("Shop.jpr", storeProjectFile(contents))),
                  nullptr);
        main = dynamic_cast<CSyntaxWindowDoc *>(
            harness.app().openDocumentFile(harness.folder() + "/src/Main.java"));
        ASSERT_NE(main, nullptr);
        view = main->firstSourceView();
        completion = view->findChild<CompletionController *>();
        ASSERT_NE(completion, nullptr);
    }

    // Puts the caret at the end of a 0-based line and types there.
    void typeAt(int line, const QString &text) {
        QTextCursor cursor(view->document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::EndOfBlock);
        view->setTextCursor(cursor);
        view->setFocus();
        QTest::keyClicks(view, text);
    }
    void pressCtrlSpace() { QTest::keyClick(view, Qt::Key_Space, Qt::ControlModifier); }
    bool waitForList() {
        return QTest::qWaitFor([this] { return !completion->isPending(); }, 120000)
               && completion->isShown();
    }
    // The rows of the list: "kind label : type".
    QStringList rows() const {
        QStringList shown;
        for (int row = 0; row < completion->popup()->rowCount(); ++row) {
            shown << completion->popup()->rowText(row);
        }
        return shown;
    }
    QString line(int number) const { return view->document()->findBlockByNumber(number).text(); }
    int caretColumn() const { return view->textCursor().positionInBlock(); }
    // Undoes the typing of a test step.
    void undoAll() {
        while (view->document()->isUndoAvailable()) {
            view->document()->undo();
        }
    }

    const QString jdk = AppSettings::defaultJdkFolder();
    AppHarness harness;
    CSyntaxWindowDoc *main = nullptr;
    CSyntaxWindowView *view = nullptr;
    CompletionController *completion = nullptr;
};

TEST_F(CompletionWindowTest, ADotListsTheMembersOfStringOfAListElementOfAProjectClassAndOfMath) {
    typeAt(kTypingLine, "        s.");
    ASSERT_TRUE(waitForList());
    EXPECT_TRUE(rows().contains("method charAt(int) : char")) << rows().join('\n').toStdString();
    EXPECT_TRUE(rows().contains("method substring(int, int) : String"));
    // Typing filters, prefix first, then humps; Escape closes.
    QTest::keyClicks(view, "tL");
    EXPECT_EQ(rows().value(0), "method toLowerCase() : String");
    EXPECT_FALSE(rows().contains("method charAt(int) : char"));
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_FALSE(completion->isShown());
    undoAll();

    // A line broken by the typing: no semicolon, the statement below still there.
    typeAt(kTypingLine, "        names.get(0).");
    ASSERT_TRUE(waitForList());
    EXPECT_TRUE(rows().contains("method isEmpty() : boolean"));
    QTest::keyClick(view, Qt::Key_Escape);
    undoAll();

    typeAt(kTypingLine, "        helper.");
    ASSERT_TRUE(waitForList());
    EXPECT_EQ(rows().filter("size").value(0), "field size : int");
    EXPECT_TRUE(rows().contains("method describe(int) : String"));
    EXPECT_TRUE(rows().filter("secret").isEmpty());
    QTest::keyClick(view, Qt::Key_Escape);
    undoAll();

    typeAt(kTypingLine, "        double d = Math.");
    ASSERT_TRUE(waitForList());
    EXPECT_TRUE(rows().contains("field PI : double"));
    EXPECT_TRUE(rows().contains("method abs(int) : int"));
    EXPECT_TRUE(rows().filter("hashCode").isEmpty());
}

TEST_F(CompletionWindowTest, CtrlSpaceListsTheNamesInScopeOnly) {
    typeAt(kTypingLine, "        ");
    pressCtrlSpace();
    ASSERT_TRUE(waitForList());
    for (const char *name :
         {"local count : int", "local s : String", "parameter names : List<String>",
          "field total : int", "method g() : void"}) {
        EXPECT_TRUE(rows().contains(name)) << name << "\n" << rows().join('\n').toStdString();
    }
    EXPECT_TRUE(rows().filter(" hidden").isEmpty());
    EXPECT_TRUE(rows().filter(" other").isEmpty());
    // The classes of other packages come once a name is begun.
    EXPECT_TRUE(rows().filter("ArrayList").isEmpty());
    QTest::keyClicks(view, "ArrayL");
    ASSERT_TRUE(waitForList());
    EXPECT_EQ(rows().value(0), "class ArrayList : java.util");
}

TEST_F(CompletionWindowTest, EnterInsertsMethodsWithTheirParenthesesAndClassesWithTheirImport) {
    typeAt(kTypingLine, "        s.subs");
    ASSERT_TRUE(waitForList());
    EXPECT_EQ(rows().value(0), "method substring(int) : String");
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(line(kTypingLine), "        s.substring()");
    EXPECT_EQ(caretColumn(), int(QString("        s.substring(").size()));
    EXPECT_FALSE(completion->isShown());
    undoAll();

    typeAt(kTypingLine, "        int n = s.len");
    ASSERT_TRUE(waitForList());
    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_EQ(line(kTypingLine), "        int n = s.length()");
    EXPECT_EQ(caretColumn(), line(kTypingLine).size());
    undoAll();

    typeAt(kTypingLine, "        ArrayL");
    pressCtrlSpace();
    ASSERT_TRUE(waitForList());
    EXPECT_EQ(rows().value(0), "class ArrayList : java.util");
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(line(0), "import java.util.ArrayList;");
    EXPECT_EQ(line(1), "import java.util.List;");
    EXPECT_EQ(line(kTypingLine + 1), "        ArrayList");
    EXPECT_EQ(view->textCursor().block().blockNumber(), kTypingLine + 1);
    EXPECT_EQ(caretColumn(), line(kTypingLine + 1).size());
    // Undone in one step.
    view->document()->undo();
    EXPECT_EQ(line(0), "import java.util.List;");
    EXPECT_EQ(line(kTypingLine), "        ArrayL");
}

// An answer that comes after the caret has left the name shows nothing.
TEST_F(CompletionWindowTest, AnAnswerForANameTheCaretHasLeftIsDropped) {
    typeAt(kTypingLine, "        s.");
    ASSERT_TRUE(QTest::qWaitFor([this] { return completion->isPending(); }, 1000));
    QTest::qWait(CompletionController::kDotDelayMs + 20); // the request is out
    QTest::keyClicks(view, "trim();");
    ASSERT_FALSE(completion->isPending());
    QTest::qWait(3000);
    EXPECT_FALSE(completion->isShown());
    EXPECT_EQ(line(kTypingLine), "        s.trim();");
}

TEST_F(CompletionWindowTest, WithoutTheServiceCtrlSpaceOffersScannedNamesAndWordsAtOnce) {
    harness.app().settings().keepCompilerRunning = 0;
    typeAt(kTypingLine, "        hid");
    pressCtrlSpace();
    ASSERT_TRUE(completion->isShown());
    EXPECT_EQ(rows(), QStringList{"word hidden"});
    for (int key = 0; key < 3; ++key) {
        QTest::keyClick(view, Qt::Key_Backspace);
    }
    EXPECT_TRUE(rows().contains("class Main")) << rows().join('\n').toStdString();
    EXPECT_TRUE(rows().contains("method f(List<String>, Helper)"));
    QTest::keyClick(view, Qt::Key_Backspace);
    EXPECT_FALSE(completion->isShown()); // the caret has left the word
}

} // namespace
