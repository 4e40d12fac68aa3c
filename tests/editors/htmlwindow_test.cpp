#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/ceditwebdoc.h"
#include "editors/ceditwebview.h"
#include "editors/cwebframe.h"
#include "framework/commandids.h"
#include "framework/profile.h"
#include "project/cjavaprojectdoc.h"
#include "support/appharness.h"
#include "support/casename.h"

#include <QDesktopServices>
#include <QFile>
#include <QFontMetricsF>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTextBlock>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Stands in for the desktop's handler of local files while it is installed.
class FileHandler : public QObject {
    Q_OBJECT

public:
    FileHandler() { QDesktopServices::setUrlHandler(u"file"_s, this, "open"); }
    ~FileHandler() override { QDesktopServices::unsetUrlHandler(u"file"_s); }

    QStringList opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened << url.toLocalFile(); }
};

// A running Tarvo with one HTML page open in an HTML window.
class HtmlWindow : public testing::Test {
protected:
    AppHarness harness;
    CEditWebDoc *document = nullptr;
    CEditWebView *view = nullptr;
    QString path;

    CMainFrame &frame() const { return harness.mainFrame(); }
    QStringList messages() const { return harness.prompter().messageTexts(); }
    QString text() const { return document->editorText(); }

    void open(const QByteArray &bytes, const QString &name = u"page.html"_s) {
        path = harness.writeFile(name, bytes);
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

    QString selectedText() const {
        return view->textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n');
    }

    // Opens a new project and sets its main file; the HTML window is active again afterwards.
    CJavaProjectDoc *openProject(const QString &mainFile) {
        harness.app().NewSourceDocument(u"JavaProject"_s);
        CJavaProjectDoc *project = harness.app().GetProjectDoc();
        if (project) {
            project->SetMainFile(mainFile);
        }
        view->frame()->activateFrame();
        return project;
    }
};

// Editing in an HTML window: the text and selection before, what the user does, the text and
// the selected text after.
struct EditCase {
    const char *name;
    QString text;
    int anchor;
    int position;
    std::function<void(CEditWebView &)> action;
    QString expectedText;
    QString expectedSelection;
};

void PrintTo(const EditCase &edit, std::ostream *out) {
    *out << edit.name;
}

class HtmlEditing : public HtmlWindow, public testing::WithParamInterface<EditCase> {};

TEST_P(HtmlEditing, ChangesTextAndSelection) {
    const EditCase &edit = GetParam();
    open(edit.text.toUtf8());
    select(edit.anchor, edit.position);
    edit.action(*view);
    EXPECT_EQ(text(), edit.expectedText);
    EXPECT_EQ(selectedText(), edit.expectedSelection);
}

std::function<void(CEditWebView &)> keys(Qt::Key key, Qt::KeyboardModifiers modifiers = {},
                                         int times = 1) {
    return [=](CEditWebView &view) {
        for (int count = 0; count < times; ++count) {
            QTest::keyClick(&view, key, modifiers);
        }
    };
}

// A double-click on the middle of the character at a position.
std::function<void(CEditWebView &)> doubleClickOn(int position) {
    return [=](CEditWebView &view) {
        QTextCursor at(view.document());
        at.setPosition(position);
        const QRect left = view.cursorRect(at);
        at.setPosition(position + 1);
        const QPoint middle((left.left() + view.cursorRect(at).left()) / 2, left.center().y());
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, middle);
    };
}

const Qt::KeyboardModifiers kCtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

INSTANTIATE_TEST_SUITE_P(
    HtmlWindow, HtmlEditing,
    testing::Values(
        EditCase{"EnterAfterSpaceTabTextGivesTabSpace", u" \tx"_s, 3, 3, keys(Qt::Key_Return),
                 u" \tx\n\t "_s, u""_s},
        EditCase{"ShiftEnterBreaksTheLineAsEnterDoes", u"\tx"_s, 2, 2,
                 keys(Qt::Key_Return, Qt::ShiftModifier), u"\tx\n\t"_s, u""_s},
        EditCase{"CtrlEnterTypesNothingAndIndentsNothing", u"\tx\ny"_s, 4, 4,
                 keys(Qt::Key_Return, Qt::ControlModifier), u"\tx\ny"_s, u""_s},
        EditCase{"IncreaseIndentFromMidLineThreeToTheStartOfLineSixIndentsFourLines",
                 u"l1\nl2\nl3\nl4\nl5\nl6\nl7"_s, 7, 15,
                 [](CEditWebView &view) { view.IndentSelection(); },
                 u"l1\nl2\n\tl3\n\tl4\n\tl5\n\tl6\nl7"_s, u"\tl3\n\tl4\n\tl5\n\tl6"_s},
        EditCase{"IncreaseIndentKeyOnTheCaretLineSelectsToTheEndOfTheText", u"a\nb"_s, 2, 2,
                 keys(Qt::Key_BracketRight, Qt::ControlModifier), u"a\n\tb"_s, u"\tb"_s},
        EditCase{"DecreaseIndentOnFourSpacesRemovesOneFromEachLine", u"    x\n    y"_s, 0, 11,
                 [](CEditWebView &view) { view.OutdentSelection(); }, u"   x\n   y"_s,
                 u"   x\n   y"_s},
        EditCase{"DecreaseIndentKeyLeavesLinesWithoutLeadingBlanks", u"x\n\ty\nz"_s, 1, 3,
                 keys(Qt::Key_BracketLeft, Qt::ControlModifier), u"x\ny\nz"_s, u"x\ny"_s},
        EditCase{"CtrlRightFromInsideTheLastWordEndsAtTheEndOfTheText", u"one two"_s, 5, 5,
                 keys(Qt::Key_Right, kCtrlShift), u"one two"_s, u"wo"_s},
        EditCase{"CtrlRightStopsAtTheEndOfEachWordAndKeepsTheUnderscore", u"foo_bar.baz qux"_s, 0,
                 0, keys(Qt::Key_Right, kCtrlShift, 2), u"foo_bar.baz qux"_s, u"foo_bar.baz"_s},
        EditCase{"CtrlRightAtTheEndOfALineGoesToTheNextLine", u"ab\ncd"_s, 2, 2,
                 keys(Qt::Key_Right, kCtrlShift), u"ab\ncd"_s, u"\n"_s},
        EditCase{"CtrlLeftStopsAtTheStartOfEachWord", u"a(b.c_d)"_s, 8, 8,
                 keys(Qt::Key_Left, kCtrlShift, 2), u"a(b.c_d)"_s, u"b.c_d)"_s},
        EditCase{"CtrlLeftAtTheStartOfALineGoesToTheEndOfTheLineAbove", u"ab\ncd"_s, 3, 3,
                 keys(Qt::Key_Left, kCtrlShift), u"ab\ncd"_s, u"\n"_s},
        EditCase{"CtrlBackspaceTakesTheWordBeforeTheCaret", u"say foo_bar"_s, 11, 11,
                 keys(Qt::Key_Backspace, Qt::ControlModifier), u"say "_s, u""_s},
        EditCase{"DoubleClickSelectsAWordWithAnUnderscore", u"x = foo_bar(1);"_s, 0, 0,
                 doubleClickOn(5), u"x = foo_bar(1);"_s, u"foo_bar"_s},
        EditCase{"DoubleClickStopsAtAPeriod", u"obj.name"_s, 0, 0, doubleClickOn(1), u"obj.name"_s,
                 u"obj"_s},
        EditCase{"DoubleClickStopsAtParentheses", u"f(arg)"_s, 0, 0, doubleClickOn(3), u"f(arg)"_s,
                 u"arg"_s}),
    testing_support::CaseName());

TEST_F(HtmlWindow, IndentAndItsLineBreakAreUndoneInOneStepEach) {
    open("\tx\ny\nz");
    select(0, 5);
    ASSERT_TRUE(frame().executeCommand(CommandId::IncreaseIndent));
    ASSERT_EQ(text(), u"\t\tx\n\ty\n\tz"_s);
    ASSERT_TRUE(frame().executeCommand(CommandId::EditUndo));
    EXPECT_EQ(text(), u"\tx\ny\nz"_s);

    select(2, 2);
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_EQ(text(), u"\tx\n\t\ny\nz"_s);
    ASSERT_TRUE(frame().executeCommand(CommandId::EditUndo));
    EXPECT_EQ(text(), u"\tx\ny\nz"_s);
}

// Indentation comes when Enter is released, and the caret is hidden while the key is down:
// lines made while it is held get none, and the last one repeats the empty line above it.
TEST_F(HtmlWindow, EnterIndentsWhenReleased) {
    open("\tx");
    select(2, 2);
    QTest::keyPress(view, Qt::Key_Return);
    EXPECT_EQ(text(), u"\tx\n"_s);
    EXPECT_EQ(view->cursorWidth(), 0);
    QTest::keyRelease(view, Qt::Key_Return);
    EXPECT_EQ(text(), u"\tx\n\t"_s);
    EXPECT_GT(view->cursorWidth(), 0);

    select(2, 2);
    QTest::keyPress(view, Qt::Key_Return);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, u"\r"_s, true);
    QCoreApplication::sendEvent(view, &repeat);
    QTest::keyRelease(view, Qt::Key_Return);
    EXPECT_EQ(text(), u"\tx\n\n\n\t"_s);
}

TEST_F(HtmlWindow, OpensInTheSourceFontWithFourCharacterTabsAndInnerMargins) {
    open("<html>\n");
    EXPECT_EQ(view->font().family(), u"Courier New"_s);
    EXPECT_EQ(view->font().pointSize(), 10);
    EXPECT_DOUBLE_EQ(view->tabStopDistance(),
                     4 * QFontMetricsF(view->font()).horizontalAdvance(u' '));
    // The text area starts 12 pixels right of and 4 below the view's border, at any size.
    const QPoint textOrigin(view->frameWidth() + 12, view->frameWidth() + 4);
    EXPECT_EQ(view->viewport()->geometry().topLeft(), textOrigin);
    view->frame()->subWindow()->resize(300, 200);
    EXPECT_EQ(view->viewport()->geometry().topLeft(), textOrigin);
}

TEST_F(HtmlWindow, PlacedRightOfTheProjectWindow) {
    open("<html>\n");
    const QRect client = frame().clientRect();
    // Never taller than the workspace, whatever the rule asks.
    const int workspace = frame().mdiArea()->contentsRect().height();
    EXPECT_EQ(view->frame()->subWindow()->geometry(),
              QRect(225, 0, client.width() - 235, std::min(client.height() - 50, workspace)));
}

TEST_F(HtmlWindow, ChosenFontIsShownStoredAndTakenByTheNextWindow) {
    open("<p>\n");
    harness.prompter().chooseFontNext(QFont(u"Liberation Mono"_s, 12));
    ASSERT_TRUE(frame().executeCommand(CommandId::Font));
    EXPECT_EQ(view->font().pointSize(), 12);
    const std::unique_ptr<fw::Profile> stored = harness.storedSettings();
    EXPECT_EQ(stored->readString(u"OPTIONS"_s, u"FONTNAME"_s, QString()), u"Liberation Mono"_s);
    EXPECT_EQ(stored->readInt(u"OPTIONS"_s, u"FONTSIZE"_s, 0), 120);

    auto *next = dynamic_cast<CEditWebDoc *>(
        harness.app().openDocumentFile(harness.writeFile(u"next.html"_s, "<p>\n")));
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(dynamic_cast<CEditWebView *>(next->firstView())->viewFont().family(),
              u"Liberation Mono"_s);
}

TEST_F(HtmlWindow, ConvertLinebreaksMakesEveryBreakCrLfAndMarksThePageModified) {
    open("x\ry\nz");
    ASSERT_TRUE(frame().executeCommand(CommandId::ConvertLinebreaks));
    EXPECT_TRUE(document->isModified());
    ASSERT_TRUE(frame().executeCommand(CommandId::FileSave));
    EXPECT_EQ(fileBytes(path), QByteArray("x\r\ny\r\nz"));
    EXPECT_FALSE(document->isModified());
}

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

INSTANTIATE_TEST_SUITE_P(
    HtmlWindow, PageSavedBack,
    testing::Values(PageBytes{"LatinOne", "<p>Gr\xfc\xdf\x65 \xe9t\xe9</p>\n"},
                    PageBytes{"CrLf", "<html>\r\n<body>\r\n</body>\r\n</html>\r\n"},
                    PageBytes{"StrayCarriageReturns", "a\rb\r\nc\n\r"},
                    PageBytes{"Utf8WithByteOrderMark", "\xef\xbb\xbf<p>\xc3\xa9</p>"}),
    testing_support::CaseName());

TEST_F(HtmlWindow, PageOfTheLargestSizeOpensAndOneByteMoreIsRefused) {
    QByteArray largest(CEditWebDoc::kMaxFileBytes, 'a');
    for (qsizetype index = 79; index < largest.size(); index += 80) {
        largest[index] = '\n';
    }
    open(largest);
    EXPECT_EQ(text().size(), largest.size());
    EXPECT_TRUE(messages().isEmpty());

    const QString tooLarge = harness.writeFile(u"large.html"_s, largest + 'a');
    const std::size_t windows = frame().frames().size();
    EXPECT_EQ(harness.app().openDocumentFile(tooLarge), nullptr);
    EXPECT_EQ(messages(), QStringList{u"The file is too large to open."_s});
    EXPECT_EQ(frame().frames().size(), windows);
}

TEST(AppletTag, NamesTheClassFileOfTheMainFile) {
    EXPECT_EQ(CEditWebView::AppletTag(u"MyApplet.java"_s),
              u"\r\n<APPLET CODE=\"MyApplet.class\" \r\n\tWIDTH=300\r\n\tHEIGHT=300>\r\n"
              "Applet MyApplet.class\r\n</APPLET>\r\n"_s);
    // A name without ".java" is used as it is; the replacement is case-sensitive and
    // replaces every occurrence.
    EXPECT_TRUE(CEditWebView::AppletTag(u"Main"_s).contains(u"CODE=\"Main\" "_s));
    EXPECT_TRUE(CEditWebView::AppletTag(u"A.JAVA"_s).contains(u"Applet A.JAVA\r\n"_s));
    EXPECT_TRUE(CEditWebView::AppletTag(u"a.java.java"_s).contains(u"\"a.class.class\""_s));
}

TEST_F(HtmlWindow, InsertAppletNamesTheMainClassOfAnApplicationProject) {
    open("<body>\r\n</body>\r\n");
    ASSERT_NE(openProject(u"MainFrame.java"_s), nullptr);
    select(7, 7);
    ASSERT_TRUE(frame().executeCommand(CommandId::InsertApplet));
    ASSERT_TRUE(frame().executeCommand(CommandId::FileSave));
    EXPECT_EQ(fileBytes(path), QByteArray("<body>\r\n"
                                          "\r\n<APPLET CODE=\"MainFrame.class\" \r\n\tWIDTH=300\r\n"
                                          "\tHEIGHT=300>\r\nApplet MainFrame.class\r\n</APPLET>\r\n"
                                          "</body>\r\n"));
}

TEST_F(HtmlWindow, InsertAppletReplacesTheSelectionAndOneUndoTakesItAway) {
    open("<p>old</p>\n");
    ASSERT_NE(openProject(u"MyApplet.java"_s), nullptr);
    select(3, 6);
    ASSERT_TRUE(frame().executeCommand(CommandId::InsertApplet));
    EXPECT_EQ(text(), u"<p>\n<APPLET CODE=\"MyApplet.class\" \n\tWIDTH=300\n\tHEIGHT=300>\n"
                      "Applet MyApplet.class\n</APPLET>\n</p>\n"_s);
    ASSERT_TRUE(frame().executeCommand(CommandId::EditUndo));
    EXPECT_EQ(text(), u"<p>old</p>\n"_s);
}

TEST_F(HtmlWindow, InsertAppletWithoutAMainFileAsksForOneAndInsertsNothing) {
    open("<p>\n");
    ASSERT_NE(openProject(QString()), nullptr);
    ASSERT_TRUE(frame().executeCommand(CommandId::InsertApplet));
    EXPECT_EQ(messages(), QStringList{u"Please set the applet class as main."_s});
    EXPECT_EQ(text(), u"<p>\n"_s);
    EXPECT_FALSE(document->isModified());
}

TEST_F(HtmlWindow, InsertAppletNeedsAnOpenProjectOpenInBrowserOnlyAnHtmlWindow) {
    open("<p>\n");
    EXPECT_FALSE(frame().commandState(CommandId::InsertApplet).isEnabled());
    EXPECT_TRUE(frame().commandState(CommandId::OpenInWebBrowser).isEnabled());
    view->InsertApplet();
    EXPECT_EQ(text(), u"<p>\n"_s);
    EXPECT_TRUE(messages().isEmpty());

    openProject(u"A.java"_s);
    EXPECT_TRUE(frame().commandState(CommandId::InsertApplet).isEnabled());

    ASSERT_NE(harness.app().openDocumentFile(harness.writeFile(u"A.java"_s, "class A {}\n")),
              nullptr);
    EXPECT_FALSE(frame().commandState(CommandId::OpenInWebBrowser).isEnabled());
}

TEST_F(HtmlWindow, OpenInBrowserOpensTheVersionOnDiskOfAnEditedPage) {
    open("<p>saved</p>\n");
    QTest::keyClicks(view, u"unsaved"_s);
    FileHandler handler;
    ASSERT_TRUE(frame().executeCommand(CommandId::OpenInWebBrowser));
    EXPECT_EQ(handler.opened, QStringList{path});
    EXPECT_EQ(fileBytes(path), QByteArray("<p>saved</p>\n"));
    EXPECT_TRUE(document->isModified());
}

TEST_F(HtmlWindow, OpenInBrowserAsksForANeverSavedPageToBeSavedFirst) {
    ASSERT_TRUE(harness.app().NewSourceDocument(u"JavaHTML"_s));
    auto *page = dynamic_cast<CEditWebView *>(frame().activeView());
    ASSERT_NE(page, nullptr);
    FileHandler handler;
    ASSERT_TRUE(frame().executeCommand(CommandId::OpenInWebBrowser));
    EXPECT_EQ(messages(), QStringList{u"Please save the document first"_s});
    EXPECT_TRUE(handler.opened.isEmpty());
}

TEST_F(HtmlWindow, OpenInBrowserWithoutAHandlerSaysSoInTheStatusBar) {
    open("<p>\n");
    // The offscreen platform has no handler for any file.
    ASSERT_TRUE(frame().executeCommand(CommandId::OpenInWebBrowser));
    EXPECT_EQ(frame().paneText(0), u"No program is set up to open "_s + path);
    EXPECT_TRUE(messages().isEmpty());
}

} // namespace

#include "htmlwindow_test.moc"
