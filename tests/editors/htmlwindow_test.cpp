#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/ceditwebdoc.h"
#include "editors/ceditwebview.h"
#include "editors/cwebframe.h"
#include "framework/commandids.h"
#include "project/cjavaprojectdoc.h"
#include "services/appsettings.h"
#include "support/appharness.h"
#include "support/casename.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A running application with one HTML page open in an HTML window.
class HtmlWindow : public testing::Test {
protected:
    AppHarness harness;
    CEditWebDoc *document = nullptr;
    CEditWebView *view = nullptr;
    QString path;

    CMainFrame &frame() const { return harness.mainFrame(); }
    QString text() const { return document->editorText(); }

    void open(const QByteArray &bytes) {
        path = harness.writeFile(u"page.html"_s, bytes);
        document = dynamic_cast<CEditWebDoc *>(harness.app().openDocumentFile(path));
        ASSERT_NE(document, nullptr);
        view = dynamic_cast<CEditWebView *>(document->firstView());
        ASSERT_NE(view, nullptr);
    }

    void select(int anchor, int position) const {
        QTextCursor cursor = view->textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
    }
};

QString selectedText(const CEditWebView &view) {
    return view.textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n');
}

TEST_F(HtmlWindow, IncreaseIndentFromMidLineThreeToTheStartOfLineSixIndentsLinesThreeToSix) {
    open("l1\nl2\nl3\nl4\nl5\nl6\nl7");
    select(7, 15);
    view->IndentSelection();
    EXPECT_EQ(text(), u"l1\nl2\n\tl3\n\tl4\n\tl5\n\tl6\nl7"_s);
    EXPECT_EQ(selectedText(*view), u"\tl3\n\tl4\n\tl5\n\tl6"_s);
    // Decrease Indent takes the tab from each line that has one.
    QTest::keyClick(view, Qt::Key_BracketLeft, Qt::ControlModifier);
    EXPECT_EQ(text(), u"l1\nl2\nl3\nl4\nl5\nl6\nl7"_s);
}

// With no program to open a page (none is set up where the tests run), Open In Web Browser
// says so in a message box.
TEST_F(HtmlWindow, OpenInWebBrowserWithoutABrowserSaysSo) {
    open("<html>\n");
    ASSERT_TRUE(frame().executeCommand(CommandId::OpenInWebBrowser));
    const QStringList said = harness.prompter().messageTexts();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said.front().startsWith(u"No web browser could be started to open "_s + path))
        << said.front().toStdString();
}

TEST_F(HtmlWindow, DecreaseIndentTakesOneTabStopOfLeadingSpaces) {
    open("        <p>\n    <b>\n<i>");
    view->selectAll();
    QTest::keyClick(view, Qt::Key_BracketLeft, Qt::ControlModifier);
    EXPECT_EQ(text(), u"    <p>\n<b>\n<i>"_s);
}

// Enter indents the new line by the blanks leading its line, a space and a tab giving a tab and
// a space; Ctrl+Shift+Right keeps an underscore inside a
// word and stops at a period.
TEST_F(HtmlWindow, EnterAfterSpaceTabGivesTabSpaceAndWordsKeepTheirUnderscores) {
    open(" \tfoo_bar.baz qux");
    select(2, 2);
    QTest::keyClick(view, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(selectedText(*view), u"foo_bar"_s);
    select(17, 17);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(text(), u" \tfoo_bar.baz qux\n\t "_s);
}

// Pages are written back exactly as read, whatever their encoding and line breaks.
struct PageBytes {
    const char *name;
    QByteArray bytes;
};

class PageSavedBack : public HtmlWindow, public testing::WithParamInterface<PageBytes> {};

TEST_P(PageSavedBack, ByteForByte) {
    open(GetParam().bytes);
    document->setModifiedFlag(true);
    ASSERT_TRUE(frame().executeCommand(CommandId::FileSave));
    EXPECT_EQ(fileBytes(path), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(HtmlWindow, PageSavedBack,
                         testing::Values(PageBytes{"LatinOne", "<p>Gr\xfc\xdf\x65 \xe9t\xe9</p>\n"},
                                         PageBytes{"CrLf",
                                                   "<html>\r\n<body>\r\n</body>\r\n</html>\r\n"},
                                         PageBytes{"StrayCarriageReturns", "a\rb\r\nc\n\r"}),
                         testing_support::CaseName());

TEST_F(HtmlWindow, PageOf1048575BytesOpensAnd1048576AreRefused) {
    const QByteArray largest = (QByteArray(79, 'a') + '\n').repeated(13107) + QByteArray(15, 'a');
    open(largest);
    EXPECT_EQ(text().size(), largest.size());
    EXPECT_TRUE(harness.prompter().messageTexts().isEmpty());

    const QString tooLarge = harness.writeFile(u"large.html"_s, largest + 'a');
    const std::size_t windows = frame().frames().size();
    EXPECT_EQ(harness.app().openDocumentFile(tooLarge), nullptr);
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{u"The file is too large to open."_s});
    EXPECT_EQ(frame().frames().size(), windows);
}

// The tag names the class of the project's main file, replaces the selection and goes with
// one Undo.
// Another program makes the page larger than a window holds: the reload is refused and leaves
// the text and the version a save compares with as they were, so that a save still asks before
// it replaces the larger file. This holds when the window's own text is already that large.
TEST_F(HtmlWindow, PageThatGrewPastTheLimitKeepsTheWindowAndASaveStillAsks) {
    for (const qsizetype shownSize : {qsizetype(6), CEditWebDoc::kMaxFileBytes + 1}) {
        SCOPED_TRACE(shownSize);
        harness.prompter().clear();
        const QByteArray shown(shownSize, 'a');
        open("<html>");
        document->setEditorText(QString::fromLatin1(shown));
        ASSERT_TRUE(document->doFileSave());
        const QByteArray larger(CEditWebDoc::kMaxFileBytes + 2, 'b');
        harness.writeFile(u"page.html"_s, larger);
        harness.prompter().answerNext(fw::Answer::Yes);
        document->offerReloadIfChangedOnDisk();
        EXPECT_EQ(harness.prompter().messageTexts(),
                  (QStringList{path + u" was changed by another program. Reload it?"_s,
                               u"The file is too large to open."_s}));
        EXPECT_EQ(text(), QString::fromLatin1(shown));
        EXPECT_FALSE(document->isModified());
        document->offerReloadIfChangedOnDisk();
        EXPECT_EQ(harness.prompter().messageTexts().size(), 2);

        view->insertPlainText(u"c"_s);
        harness.prompter().answerNext(fw::Answer::No);
        EXPECT_FALSE(document->doFileSave());
        EXPECT_EQ(harness.prompter().messageTexts().back(),
                  path + u" was changed by another program. Save and replace it?"_s);
        EXPECT_EQ(fileBytes(path), larger);
        document->setModifiedFlag(false);
        document->onCloseDocument();
    }
}

// Windows on one page share its text and its layout: a second window takes the first one's font
// even when the stored font has changed since, and a font chosen in either is both windows'.
TEST_F(HtmlWindow, SecondWindowOnThePageLeavesTheFirstWindowsFontAlone) {
    open("<html>\n\t<p>\n");
    const int firstSize = view->font().pointSize();
    harness.app().settings().sourceFontSize = (firstSize + 10) * 10;
    ASSERT_TRUE(frame().executeCommand(CommandId::WindowNew));
    ASSERT_EQ(document->views().size(), 2u);
    auto *second = dynamic_cast<CEditWebView *>(document->views().back());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->font().pointSize(), firstSize);
    EXPECT_EQ(view->font().pointSize(), firstSize);
    EXPECT_EQ(document->textDocument()->defaultFont().pointSize(), firstSize);

    harness.prompter().chooseFontNext(QFont(u"Liberation Mono"_s, firstSize + 4));
    ASSERT_TRUE(frame().executeCommand(CommandId::Font));
    for (const CEditWebView *window : {view, second}) {
        EXPECT_EQ(window->font().pointSize(), firstSize + 4);
        EXPECT_EQ(window->tabStopDistance(), second->tabStopDistance());
    }
}

TEST_F(HtmlWindow, InsertAppletReplacesTheSelectionAndOneUndoTakesItAway) {
    open("<p>old</p>\n");
    harness.app().NewSourceDocument(u"JavaProject"_s);
    ASSERT_NE(harness.app().GetProjectDoc(), nullptr);
    harness.app().GetProjectDoc()->SetMainFile(u"MyApplet.java"_s);
    view->frame()->activateFrame();
    select(3, 6);
    ASSERT_TRUE(frame().executeCommand(CommandId::InsertApplet));
    EXPECT_EQ(text(), u"<p>\n<APPLET CODE=\"MyApplet.class\" \n\tWIDTH=300\n\tHEIGHT=300>\n"
                      "Applet MyApplet.class\n</APPLET>\n</p>\n"_s);
    ASSERT_TRUE(frame().executeCommand(CommandId::EditUndo));
    EXPECT_EQ(text(), u"<p>old</p>\n"_s);
}

} // namespace
