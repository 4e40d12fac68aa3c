#include "editors/cchildframe.h"
#include "editors/colourclassstore.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "editors/linejump.h"
#include "editors/sourcehighlighter.h"
#include "editors/sourcetext.h"
#include "editors/syntaxcolouring.h"
#include "framework/commandids.h"
#include "framework/findreplacedialog.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/scriptedprompter.h"
#include "support/testenvironment.h"

#include "sourcewindowfixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <span>

namespace {

using editors_testing::RecordingProject;
using editors_testing::SourceWindow;

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Editing a selection: the text and selection before, what the user does, the text and the
// selected text after.
struct EditCase {
    const char *name;
    QString text;
    int anchor;
    int position;
    std::function<void(CSyntaxWindowView &)> action;
    QString expectedText;
    QString expectedSelection;
};

void PrintTo(const EditCase &edit, std::ostream *out) {
    *out << edit.name;
}

class Editing : public testing::TestWithParam<EditCase> {};

TEST_P(Editing, ChangesTextAndSelection) {
    const EditCase &edit = GetParam();
    SourceWindow window(edit.text.toUtf8());
    window.setCursor(edit.anchor, edit.position);
    edit.action(*window.view());
    EXPECT_EQ(window.text(), edit.expectedText);
    EXPECT_EQ(window.selectedText(), edit.expectedSelection);
}

void press(CSyntaxWindowView &view, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(&view, key, modifiers);
}

INSTANTIATE_TEST_SUITE_P(
    SourceView, Editing,
    testing::Values(
        EditCase{"EnterAfterMixedIndentPutsTabsFirst", QStringLiteral(" \tx"), 3, 3,
                 [](CSyntaxWindowView &view) { press(view, Qt::Key_Return); },
                 QStringLiteral(" \tx\n\t "), QString()},
        EditCase{"EnterAfterUnindentedLineInsertsNothing", QStringLiteral("x"), 1, 1,
                 [](CSyntaxWindowView &view) { press(view, Qt::Key_Return); },
                 QStringLiteral("x\n"), QString()},
        EditCase{"ShiftEnterBreaksTheLineAsEnterDoes", QStringLiteral("\tx"), 2, 2,
                 [](CSyntaxWindowView &view) { press(view, Qt::Key_Return, Qt::ShiftModifier); },
                 QStringLiteral("\tx\n\t"), QString()},
        EditCase{"CtrlEnterTypesNothingAndIndentsNothing", QStringLiteral("\tx\ny"), 4, 4,
                 [](CSyntaxWindowView &view) { press(view, Qt::Key_Return, Qt::ControlModifier); },
                 QStringLiteral("\tx\ny"), QString()},
        EditCase{"TabOverThreeLinesIndentsEachAndSelectsThem", QStringLiteral("a\nb\nc\nd"), 0, 6,
                 [](CSyntaxWindowView &view) { press(view, Qt::Key_Tab); },
                 QStringLiteral("\ta\n\tb\n\tc\nd"), QStringLiteral("\ta\n\tb\n\tc\n")},
        EditCase{"ShiftTabTakesOneTabOrUpToFourSpacesFromEachLine",
                 QStringLiteral("\t\ta\n  b\n  \tc\nd"), 1, 13,
                 [](CSyntaxWindowView &view) { press(view, Qt::Key_Backtab, Qt::ShiftModifier); },
                 QStringLiteral("\ta\nb\n\tc\nd"), QStringLiteral("\ta\nb\n\tc")},
        EditCase{"DecreaseIndentOfAllTakesOneTabStopOfSpaces",
                 QStringLiteral("        x\n    y\nz"), 0, 0,
                 [](CSyntaxWindowView &view) {
                     view.selectAll();
                     press(view, Qt::Key_Backtab, Qt::ShiftModifier);
                 },
                 QStringLiteral("    x\ny\nz"), QStringLiteral("    x\ny\nz")},
        EditCase{"IncreaseIndentWithoutSelectionIndentsTheCaretLine", QStringLiteral("a\nb"), 2, 2,
                 [](CSyntaxWindowView &view) { view.IndentSelection(); }, QStringLiteral("a\n\tb"),
                 QStringLiteral("\tb")},
        EditCase{"GoToLineBeyondTheTextSelectsTheLastLine", QStringLiteral("a\nbc"), 0, 0,
                 [](CSyntaxWindowView &view) { view.SelectLine(7); }, QStringLiteral("a\nbc"),
                 QStringLiteral("bc")},
        EditCase{"SelectLineAtTheOffsetOfALineBreakSelectsNothing", QStringLiteral("ab\ncd\nef"), 0,
                 0, [](CSyntaxWindowView &view) { view.SelectLineAt(7); },
                 QStringLiteral("ab\ncd\nef"), QString()}),
    testing_support::CaseName());

TEST(SourceView, IndentationIsUndoneWithItsLineBreak) {
    SourceWindow window(QByteArray("\tx"));
    window.setCursor(2, 2);
    press(*window.view(), Qt::Key_Return);
    ASSERT_EQ(window.text(), QStringLiteral("\tx\n\t"));
    window.view()->undo();
    EXPECT_EQ(window.text(), QStringLiteral("\tx"));
}

TEST(SourceColouring, OpeningColoursKeywordsStringsAndComments) {
    SourceWindow window("int x = \"if\"; // for\n/* a\nb */ class\n");
    EXPECT_EQ(window.drawnClasses(0), QStringLiteral("KKK.....SSSS..CCCCCC"));
    EXPECT_EQ(window.drawnClasses(1), QStringLiteral("CCCC"));
    EXPECT_EQ(window.drawnClasses(2), QStringLiteral("CCCC.KKKKK"));
    EXPECT_FALSE(window.document()->isModified());
    EXPECT_FALSE(window.document()->textDocument()->isUndoAvailable());
}

TEST(SourceColouring, LineTypedInsideAnOpenBlockCommentIsComment) {
    SourceWindow window("/* open\n\nint x;");
    window.setCursor(8, 8);
    QTest::keyClicks(window.view(), QStringLiteral("int a"));
    EXPECT_EQ(window.drawnClasses(1), QStringLiteral("CCCCC"));
    QTest::keyClicks(window.view(), QStringLiteral(" */ int"));
    EXPECT_EQ(window.drawnClasses(1), QStringLiteral("CCCCCCCC.KKK"));
    // Lines not typed on keep their colours until the next whole-text pass. (The comment left
    // open runs to the end of the text, its last character included.)
    EXPECT_EQ(window.drawnClasses(2), QStringLiteral("CCCCCC"));
    window.view()->ColourAll(true);
    EXPECT_EQ(window.drawnClasses(2), QStringLiteral("KKK..."));
}

TEST(SourceColouring, ColoursMoveWithTheTextAndUndoNeverUndoesThem) {
    SourceWindow window("// note\nclass A {}\n");
    window.setCursor(0, 0);
    QTest::keyClicks(window.view(), QStringLiteral("x"));
    press(*window.view(), Qt::Key_Return);
    EXPECT_EQ(window.drawnClasses(2), QStringLiteral("KKKKK....."));
    EXPECT_EQ(window.drawnClasses(1), QStringLiteral("CCCCCCC"));
    while (window.document()->textDocument()->isUndoAvailable()) {
        window.view()->undo();
    }
    EXPECT_EQ(window.text(), QStringLiteral("// note\nclass A {}\n"));
    EXPECT_FALSE(window.document()->isModified());
    EXPECT_EQ(window.drawnClasses(0), QStringLiteral("CCCCCCC"));
    EXPECT_EQ(window.drawnClasses(1), QStringLiteral("KKKKK....."));
}

TEST(SourceColouring, UndoneCutAndUndoneReplacementComeBackColoured) {
    SourceWindow window("int x; // y\nclass A {}\n");
    window.setCursor(0, 3);
    window.view()->cut();
    EXPECT_EQ(window.text(), QStringLiteral(" x; // y\nclass A {}\n"));
    QTest::keySequence(window.view(), QKeySequence::Undo);
    EXPECT_EQ(window.drawnClasses(0), QStringLiteral("KKK....CCCC"));

    window.view()->selectAll();
    QTest::keyClicks(window.view(), QStringLiteral("z"));
    ASSERT_TRUE(window.view()->invokeCommand(CommandId::EditUndo));
    EXPECT_EQ(window.text(), QStringLiteral("int x; // y\nclass A {}\n"));
    EXPECT_EQ(window.drawnClasses(0), QStringLiteral("KKK....CCCC"));
    EXPECT_EQ(window.drawnClasses(1), QStringLiteral("KKKKK....."));
}

// Replace All colours every line it touches at once, the lines between the first and the last
// replacement too, without F3.
TEST(SourceColouring, ReplaceAllColoursTheLinesItTouches) {
    SourceWindow window("int foo;\n// foo\n\"foo\";\n");
    ASSERT_TRUE(window.view()->invokeCommand(CommandId::EditReplace));
    fw::FindReplaceDialog &dialog = fw::FindReplaceDialog::instance();
    const QList<QLineEdit *> fields = dialog.findChildren<QLineEdit *>();
    ASSERT_EQ(fields.size(), 2);
    fields.at(0)->setText(QStringLiteral("foo"));
    fields.at(1)->setText(QStringLiteral("long x"));
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (button->text() == QStringLiteral("Replace &All")) {
            QTest::mouseClick(button, Qt::LeftButton);
        }
    }
    EXPECT_EQ(window.text(), QStringLiteral("int long x;\n// long x\n\"long x\";\n"));
    EXPECT_EQ(window.drawnClasses(0), QStringLiteral("KKK.KKKK..."));
    EXPECT_EQ(window.drawnClasses(1), QStringLiteral("CCCCCCCCC"));
    EXPECT_EQ(window.drawnClasses(2), QStringLiteral("SSSSSSSS."));
    dialog.hide();
}

TEST(SourceColouring, TextFromAnInputMethodIsColouredAsTyped) {
    SourceWindow window("x\n");
    window.setCursor(0, 0);
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("int "));
    QCoreApplication::sendEvent(window.view(), &composed);
    EXPECT_EQ(window.drawnClasses(0), QStringLiteral("KKK.."));
}

TEST(SourceColouring, PrintedPagesCarryTheColoursAndHalfInchMargins) {
    SourceWindow window("int x; // y\n");
    const std::unique_ptr<QTextDocument> pages = window.view()->printableDocument();
    const QTextBlock line = pages->firstBlock();
    QStringList colours;
    for (const QTextLayout::FormatRange &range : line.textFormats()) {
        colours << QStringLiteral("%1:%2:%3")
                       .arg(range.start)
                       .arg(range.length)
                       .arg(range.format.foreground().color().name());
    }
    EXPECT_EQ(colours, (QStringList{QStringLiteral("0:3:#0000dd"), QStringLiteral("3:4:#000000"),
                                    QStringLiteral("7:4:#dd0000")}));

    testing_support::ScriptedPrompter::Installed prompter;
    QMarginsF duringPrint;
    prompter->runDialogNext([&](QDialog &dialog) {
        duringPrint = static_cast<QPrintDialog &>(dialog).printer()->pageLayout().margins(
            QPageLayout::Millimeter);
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(window.view()->invokeCommand(CommandId::FilePrint));
    EXPECT_NEAR(duringPrint.left(), 12.7, 0.1);
    EXPECT_NEAR(duringPrint.bottom(), 12.7, 0.1);
}

TEST(SourceColouring, RecolouringAnUnchangedTextDrawsNothing) {
    SourceWindow window("public class A { /* x */ String s = \"y\"; }\n");
    const qsizetype drawn = window.document()->highlighter().blocksDrawn();
    window.view()->ColourAll(true);
    window.view()->ColourCurrentLine();
    EXPECT_EQ(window.document()->highlighter().blocksDrawn(), drawn);
}

TEST(SourceColouring, ClassesStayBesideTheTextThroughRandomEditsAndUndo) {
    SourceWindow window("class A {\n  /* c */ int x = \"s\";\n}\n// end\n");
    QTextDocument *text = window.document()->textDocument();
    const ColourClassStore &store = window.document()->colourClasses();
    const QStringList pieces{QStringLiteral("\n"),         QStringLiteral("x"),
                             QStringLiteral("/*"),         QStringLiteral("*/"),
                             QStringLiteral("\""),         QStringLiteral("int "),
                             QStringLiteral("\n\n// c\n"), QString()};
    std::mt19937 random(7);
    for (int step = 0; step < 400; ++step) {
        QTextCursor cursor(text);
        const int length = text->characterCount() - 1;
        cursor.setPosition(int(random() % (length + 1)));
        cursor.setPosition(std::min(length, cursor.position() + int(random() % 4)),
                           QTextCursor::KeepAnchor);
        if (random() % 5 == 0) {
            window.view()->undo();
        } else {
            cursor.insertText(pieces[random() % pieces.size()]);
        }
        ASSERT_EQ(store.lineCount(), text->blockCount()) << step;
        for (int line = 0; line < text->blockCount(); ++line) {
            ASSERT_EQ(store.lineClasses(line).size(), std::size_t(window.block(line).text().size()))
                << step;
        }
    }
    // After the whole-text pass every line shows what the pass gives its characters.
    window.view()->ColourAll(true);
    const editors::ColourClasses classes =
        editors::classifyWholeText(editors::toCrLfText(window.text()));
    qsizetype offset = 0;
    for (int line = 0; line < text->blockCount(); ++line) {
        QString expected;
        for (qsizetype index = 0; index < window.block(line).text().size(); ++index) {
            expected += QStringLiteral(".KSC").at(int(classes[offset++]));
        }
        offset += 2;
        EXPECT_EQ(window.drawnClasses(line), expected) << line;
    }
}

// A long file whose colours depend on text far above: a block comment open from line 10 to
// line 2600, and a lone quote on line 2700 that starts a string running into the next line.
QByteArray longJavaFile() {
    QByteArrayList lines;
    for (int line = 0; line < 3000; ++line) {
        lines << "    if (x) return \"word\"; // note " + QByteArray::number(line);
    }
    lines[10] = "int a; /* opened here";
    lines[2600] = "closed */ public int x = \"s\";";
    lines[2700] = "String s = \"runs on";
    return lines.join('\n') + '\n';
}

// Colour classes as letters, one a character.
QString letters(std::span<const editors::ColourClass> classes) {
    QString letters;
    for (const editors::ColourClass colourClass : classes) {
        letters += QStringLiteral(".KSC").at(int(colourClass));
    }
    return letters;
}

// What the whole-text pass gives every line of the window's text, one letter a character.
QStringList passClasses(const SourceWindow &window) {
    const QString text = window.text();
    const editors::ColourClasses classes = editors::classifyWholeText(editors::toCrLfText(text));
    QStringList lines;
    qsizetype offset = 0;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        lines << letters(std::span(classes).subspan(offset, line.size()));
        offset += line.size() + 2;
    }
    return lines;
}

// Every line the view shows, from its top edge to its bottom edge, once painted, carries exactly
// the classes of the whole-text pass.
void expectShownLinesColoured(const SourceWindow &window, const QStringList &expected) {
    window.drawnClasses(0);
    const CSyntaxWindowView &view = *window.view();
    const int first = view.cursorForPosition(QPoint(0, 0)).blockNumber();
    const int last = view.cursorForPosition(QPoint(0, view.viewport()->height() - 1)).blockNumber();
    ASSERT_LT(first, last);
    for (int line = first; line <= last; ++line) {
        EXPECT_EQ(window.drawnClasses(line), expected[line]) << line;
    }
}

// Every line shown is coloured exactly wherever the view goes, and again after an edit far above
// changes the lines below and after its Undo.
TEST(LazyColouring, EveryShownLineIsColouredWhereverTheViewGoesAndAfterEdits) {
    SourceWindow window(longJavaFile());
    const QStringList expected = passClasses(window);
    expectShownLinesColoured(window, expected);
    // Only what was shown is drawn.
    const ColourClassStore &store = window.document()->colourClasses();
    EXPECT_FALSE(store.isDrawn(1500));
    EXPECT_LT(window.document()->highlighter().blocksDrawn(), 100);

    window.document()->GoToLine(2500);
    expectShownLinesColoured(window, expected);
    EXPECT_EQ(window.drawnClasses(2500), QString(expected[2500].size(), QLatin1Char('C')));
    window.document()->GoToLine(2700);
    expectShownLinesColoured(window, expected);
    window.view()->verticalScrollBar()->setValue(window.view()->verticalScrollBar()->maximum());
    expectShownLinesColoured(window, expected);

    window.document()->GoToLine(2000);
    window.view()->viewport()->repaint();
    // Closing the comment early changes the lines below, which are drawn when shown.
    window.view()->setTextCursor(QTextCursor(window.block(1000)));
    QTest::keyClicks(window.view(), QStringLiteral("*/"));
    window.view()->ColourAll(true);
    const QStringList edited = passClasses(window);
    EXPECT_EQ(edited[2000].left(6), QStringLiteral("....KK"));
    expectShownLinesColoured(window, edited);

    // Undo brings the comment back; after F3 the lines below are comment again.
    window.view()->UndoOrRedo(false);
    window.view()->ColourAll(true);
    const QStringList undone = passClasses(window);
    EXPECT_EQ(undone[2000], QString(undone[2000].size(), QLatin1Char('C')));
    expectShownLinesColoured(window, undone);
    EXPECT_FALSE(window.document()->isModified());
}

// Writes new contents into the window's file behind its back.
void rewrite(const SourceWindow &window, const QByteArray &bytes) {
    testing_support::writeFileIn(window.path.section(QLatin1Char('/'), 0, -2),
                                 window.path.section(QLatin1Char('/'), -1), bytes);
}

// The classes of every line as the store holds them, one letter a character.
QStringList storedClasses(const SourceWindow &window) {
    const ColourClassStore &store = window.document()->colourClasses();
    QStringList lines;
    for (int line = 0; line < store.lineCount(); ++line) {
        lines << letters(store.lineClasses(line));
    }
    return lines;
}

// A file is coloured and scanned while it is read: the whole text gets the classes of the
// whole-text pass, the function list and the project get what a scan of the text gives, on
// opening and on reading the file again.
TEST(SourceDocument, TextReadIsColouredAndScannedWhole) {
    SourceWindow window(longJavaFile() + "class Foo {\nvoid f() {}\n}\n");
    EXPECT_EQ(storedClasses(window), passClasses(window));
    EXPECT_EQ(window.document()->entries(), QStringList({"Foo", "Foo.f()"}));
    EXPECT_EQ(window.frame()->functionList()->count(), 2);

    RecordingProject project;
    window.services.project = &project;
    rewrite(window, "/* one */ class Bar {\n  int g(int x) { return \"}\"; }\n}\n");
    ASSERT_TRUE(window.document()->reload());
    EXPECT_EQ(storedClasses(window), passClasses(window));
    EXPECT_EQ(storedClasses(window).first(), QStringLiteral("CCCCCCCCC.KKKKK......"));
    EXPECT_EQ(window.document()->entries(), QStringList({"Bar", "Bar.g(int x)"}));
    EXPECT_EQ(window.frame()->functionList()->count(), 2);
    EXPECT_EQ(project.calls, QStringList({"ClearFileClasses", "AddClass Bar",
                                          "AddMethod Bar g(int x)", "ClassInfoUpdated"}));
}

// A large file opens unmodified with the cursor at the top; as the window's width changes its
// lines are not laid out again, and the horizontal scroll bar still reaches the end of the
// long line on screen.
TEST(SourceDocument, LargeFileOpensAtTheTopAndScrollsAcrossAtAnyWidth) {
    SourceWindow window("int wide = 0; // " + QByteArray(400, 'w') + "\n"
                        + QByteArray("int x;\n").repeated(30000));
    window.drawnClasses(0);
    EXPECT_FALSE(window.document()->isModified());
    EXPECT_EQ(window.view()->textCursor().position(), 0);
    QScrollBar *across = window.view()->horizontalScrollBar();
    for (const int width : {300, 900, 500}) {
        window.frame()->resize(width, 400);
        window.view()->viewport()->repaint();
        QCoreApplication::processEvents();
        EXPECT_GT(across->maximum(), 400 * 6 - width) << width;
    }
}

// Prepared lines are taken only for a text of their shape; otherwise the store reads the
// document's own lines, as yet uncoloured.
TEST(SourceDocument, PreparedLinesOfAnotherTextAreNotTaken) {
    QTextDocument text;
    text.setPlainText(QStringLiteral("ab\nc"));
    ColourClassStore store(&text);
    const editors::ColourClasses comment(5, editors::ColourClass::Comment);
    EXPECT_FALSE(store.adoptLines(ColourClassStore::prepareLines(QStringLiteral("abc"), comment)));
    EXPECT_FALSE(
        store.adoptLines(ColourClassStore::prepareLines(QStringLiteral("ab\nc\n"), comment)));
    ASSERT_EQ(store.lineCount(), 2);
    EXPECT_EQ(store.lineClasses(1), editors::ColourClasses{editors::ColourClass::Normal});
    EXPECT_TRUE(store.adoptLines(ColourClassStore::prepareLines(QStringLiteral("xy\nz"), comment)));
    EXPECT_EQ(store.lineClasses(1), editors::ColourClasses{editors::ColourClass::Comment});
}

TEST(SourceCommands, ConvertLinebreaksMakesEveryBreakCrLf) {
    SourceWindow window("x\ry\nz\r\nint");
    window.view()->ConvertLinebreaks();
    EXPECT_EQ(window.text(), QStringLiteral("x\ny\nz\nint"));
    EXPECT_TRUE(window.document()->isModified());
    EXPECT_EQ(window.drawnClasses(3), QStringLiteral("KKK"));
    ASSERT_TRUE(window.document()->onSaveDocument(window.path));
    EXPECT_EQ(fileBytes(window.path), QByteArray("x\r\ny\r\nz\r\nint"));
}

// Choosing an entry shows its stored line as a jump does: highlighted, the caret at its first
// non-blank character, nothing selected.
TEST(FunctionList, ChoosingShowsTheStoredLineUntilRefreshed) {
    SourceWindow window("class A {\r\n  void f() {\r\n  }\r\n}\r\n");
    QComboBox *list = window.frame()->functionList();
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(1), QStringLiteral("A.f()"));
    EXPECT_EQ(list->currentIndex(), -1);

    window.setCursor(10, 10);
    QTest::keyClicks(window.view(), QStringLiteral("int a;"));
    press(*window.view(), Qt::Key_Return);
    QTest::keyClicks(window.view(), QStringLiteral("int b;"));
    press(*window.view(), Qt::Key_Return);
    Q_EMIT list->activated(1);
    EXPECT_EQ(window.selectedText(), QString());
    EXPECT_EQ(editors::highlightedJumpLine(*window.view()), 1);
    EXPECT_EQ(window.view()->textCursor().positionInBlock(), 0); // "int a;" starts the line
    EXPECT_EQ(window.services.lineText, QStringLiteral("Line: 2"));

    window.view()->RefreshFunctionList();
    Q_EMIT list->activated(1);
    EXPECT_EQ(window.selectedText(), QString());
    EXPECT_EQ(editors::highlightedJumpLine(*window.view()), 3);
    EXPECT_EQ(window.view()->textCursor().positionInBlock(), 2);
    EXPECT_EQ(window.services.lineText, QStringLiteral("Line: 4"));
}

TEST(SourceDocument, LatinOneFileIsSavedBackByteForByte) {
    const QByteArray bytes("// Gr\xfc\xdf\x65\r\nclass A { String s = \"\xe9\"; }\r\n");
    SourceWindow window(bytes);
    ASSERT_TRUE(window.document()->doFileSave());
    EXPECT_EQ(fileBytes(window.path), bytes);
}

// Types a euro sign, a character beyond Latin-1.
void typeEuroSign(QWidget &widget) {
    QTest::sendKeyEvent(QTest::Click, &widget, Qt::Key_unknown, QStringLiteral("\u20AC"),
                        Qt::NoModifier);
}

// A UTF-8 file holding a paragraph separator shows its other characters as UTF-8, and a
// character typed into it is saved without touching the bytes around it.
TEST(SourceDocument, Utf8FileWithAParagraphSeparatorKeepsItsBytesAroundWhatIsTyped) {
    SourceWindow window("// caf\xC3\xA9 \xE2\x80\xA9\r\nclass A {}\r\n");
    EXPECT_EQ(window.block(0).text().left(8), QStringLiteral("// caf\u00E9 "));
    EXPECT_EQ(window.document()->textDocument()->blockCount(), 3);
    window.setCursor(2, 2);
    QTest::keyClick(window.view(), Qt::Key_Space);
    typeEuroSign(*window.view());
    ASSERT_TRUE(window.document()->doFileSave());
    EXPECT_EQ(fileBytes(window.path),
              QByteArray("// \xE2\x82\xAC caf\xC3\xA9 \xE2\x80\xA9\r\nclass A {}\r\n"));
    EXPECT_TRUE(window.prompter->messageTexts().isEmpty());
}

// Latin-1 cannot hold a euro sign typed into a Latin-1 file: the save asks before it writes the
// file in UTF-8, and No leaves the file as it was and the window modified.
TEST(SourceDocument, Latin1FileBecomesUtf8OnlyWhenTheUserAgrees) {
    const QByteArray bytes("// caf\xE9\nclass A {}\n");
    SourceWindow window(bytes);
    window.setCursor(0, 0);
    typeEuroSign(*window.view());
    window.prompter->answerNext(fw::Answer::No);
    EXPECT_FALSE(window.document()->doFileSave());
    EXPECT_EQ(fileBytes(window.path), bytes);
    EXPECT_TRUE(window.document()->isModified());
    ASSERT_EQ(window.prompter->messages().size(), 1u);
    EXPECT_TRUE(window.prompter->messages()[0].text.contains("Save it in UTF-8 from now on?"));
    window.prompter->answerNext(fw::Answer::Yes);
    ASSERT_TRUE(window.document()->doFileSave());
    EXPECT_EQ(fileBytes(window.path), QByteArray("\xE2\x82\xAC// caf\xC3\xA9\nclass A {}\n"));
    typeEuroSign(*window.view());
    EXPECT_TRUE(window.document()->doFileSave());
    EXPECT_EQ(window.prompter->messages().size(), 2u);
}

TEST(Compile, ComposesTheCompilerCommandForTheSavedFile) {
    SourceWindow window("class Foo {}\n");
    RecordingProject project;
    window.services.project = &project;
    window.services.appSettings.jdkFolder = QStringLiteral("/opt/jdk");
    window.services.appSettings.javacOptions = QStringLiteral("-g -deprecation");
    window.view()->CompileCurrentFile();
    const QString folder = window.path.section(QLatin1Char('/'), 0, -2);
    EXPECT_EQ(project.calls, QStringList{QStringLiteral("StartCompiler /opt/jdk/bin/javac "
                                                        "javac Foo.java -g -deprecation ")
                                         + folder + ' ' + window.path});
    EXPECT_EQ(window.services.caption, QStringLiteral("Compiling \"") + window.path + '"');
    EXPECT_EQ(window.services.saveAllCount, 1);
}

// A file declaring the package its folder is named after compiles from the folder above.
TEST(Compile, FileInItsPackageFolderCompilesFromThePackageRoot) {
    SourceWindow window("class Foo {}\n");
    RecordingProject project;
    window.services.project = &project;
    window.services.appSettings.jdkFolder = QStringLiteral("/opt/jdk");
    const QString package = window.path.section(QLatin1Char('/'), -2, -2);
    rewrite(window, "package " + package.toUtf8() + ";\nclass Foo {}\n");
    window.view()->CompileCurrentFile();
    const QString root = window.path.section(QLatin1Char('/'), 0, -3);
    EXPECT_EQ(project.calls,
              QStringList{QStringLiteral("StartCompiler /opt/jdk/bin/javac "
                                         "javac -sourcepath . ")
                          + package + QStringLiteral("/Foo.java ") + root + ' ' + window.path});
}

TEST(Compile, NeverSavedDocumentIsAnUnholyErrorBeforeAnythingIsSaved) {
    SourceWindow window(QByteArray{});
    RecordingProject project;
    window.services.project = &project;
    window.view()->CompileCurrentFile();
    EXPECT_EQ(window.prompter->messageTexts(), QStringList{QStringLiteral("Unholy Error")});
    EXPECT_EQ(window.services.saveAllCount, 0);
    EXPECT_EQ(window.services.caption, QString());
    EXPECT_TRUE(project.calls.isEmpty());
}

TEST(AddWindowToProject, NeverSavedDocumentAsksToBeSavedFirst) {
    SourceWindow window(QByteArray{});
    RecordingProject project;
    window.services.project = &project;
    window.view()->AddWindowToProject();
    EXPECT_EQ(window.prompter->messageTexts(),
              QStringList{QStringLiteral("Please save the document first")});
    EXPECT_TRUE(window.document()->isModified());
    EXPECT_TRUE(project.calls.isEmpty());
}

TEST(AddWindowToProject, AddsTheFileAndRescansIntoTheProject) {
    SourceWindow window("class A {}\n");
    RecordingProject project;
    window.services.project = &project;
    window.view()->AddWindowToProject();
    EXPECT_EQ(project.calls.mid(0, 3),
              (QStringList{QStringLiteral("AddFile ") + window.path,
                           QStringLiteral("ClearFileClasses"), QStringLiteral("AddClass A")}));
    EXPECT_TRUE(project.isModified());
}

TEST(LineNumber, ClickShowsThePreviousLineAndKeyReleaseTheCurrentOne) {
    SourceWindow window("a\nb\nc\n");
    CSyntaxWindowView &view = *window.view();
    window.setCursor(0, 0);
    QTextCursor third(window.block(2));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.cursorRect(third).center());
    EXPECT_EQ(window.services.lineText, QStringLiteral("Line: 1"));
    EXPECT_EQ(view.textCursor().blockNumber(), 2);
    press(view, Qt::Key_Up);
    EXPECT_EQ(window.services.lineText, QStringLiteral("Line: 2"));
}

// The x of the character after a tab at the start of a line, from the line's start.
int tabWidth(const SourceWindow &window) {
    QTextCursor cursor(window.block(0));
    const int start = window.view()->cursorRect(cursor).left();
    cursor.setPosition(1);
    return window.view()->cursorRect(cursor).left() - start;
}

TEST(Font, ChosenFontIsShownStoredAndSaved) {
    SourceWindow window("\tclass A {}\n");
    EXPECT_EQ(window.view()->font().family(), QStringLiteral("Courier New"));
    // A tab reaches the fourth column in the window's font, when opened and after a new font.
    const auto fourColumns = [&window] {
        return qRound(4 * QFontMetricsF(window.view()->font()).horizontalAdvance(u' '));
    };
    EXPECT_EQ(tabWidth(window), fourColumns());
    window.prompter->chooseFontNext(QFont(QStringLiteral("Liberation Mono"), 12));
    window.view()->ChooseFont();
    EXPECT_EQ(window.view()->font().pointSize(), 12);
    EXPECT_EQ(tabWidth(window), fourColumns());
    EXPECT_EQ(window.services.appSettings.sourceFontName, QStringLiteral("Liberation Mono"));
    EXPECT_EQ(window.services.appSettings.sourceFontSize, 120);
    EXPECT_EQ(window.services.saveSourceFontCount, 1);
}

} // namespace
