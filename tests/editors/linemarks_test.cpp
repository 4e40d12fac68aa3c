#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "editors/linemarks.h"
#include "editors/linenumbermargin.h"

#include "sourcewindowfixture.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QTextBlock>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using editors_testing::SourceWindow;

// The marks the margin shows, one "LINE KIND" a mark, top to bottom; KIND is E or W.
QStringList shownMarks(const SourceWindow &window) {
    QStringList shown;
    const auto *margin = window.view()->findChild<LineNumberMargin *>();
    for (const LineNumberMargin::ShownMark &mark : margin->visibleMarks()) {
        shown << QString::number(mark.line)
                     + (mark.kind == CompilerMessageKind::Error ? u" E"_s : u" W"_s);
    }
    return shown;
}

// The user puts the caret at a 0-based line and column, or selects up to a second place, and
// presses a key or, where typed is set, types it.
struct EditCase {
    const char *name;
    int line, column, toLine, toColumn;
    Qt::Key key;
    QString typed;
    QStringList marks;
};

class MarkEditTest : public testing::TestWithParam<EditCase> {};

// Line 3 has an error and line 5 a warning; the user edits with the keyboard.
TEST_P(MarkEditTest, MarksFollowTheirLinesOrGoWithTheirText) {
    const EditCase &edit = GetParam();
    SourceWindow window("a1\nb2\nc3 bad\nd4\ne5 odd\nf6\n");
    window.document()->lineMarks().setMarks({{3, CompilerMessageKind::Error, u"error: x"_s},
                                             {5, CompilerMessageKind::Warning, u"warning: y"_s}});
    ASSERT_EQ(shownMarks(window), (QStringList{u"3 E"_s, u"5 W"_s}));
    const int from = window.block(edit.line).position() + edit.column;
    window.setCursor(from,
                     edit.toLine < 0 ? from : window.block(edit.toLine).position() + edit.toColumn);
    if (edit.typed.isEmpty()) {
        QTest::keyClick(window.view(), edit.key);
    } else {
        QTest::keyClicks(window.view(), edit.typed);
    }
    EXPECT_EQ(shownMarks(window), edit.marks) << window.text().toStdString();
}

constexpr Qt::Key kType = Qt::Key_unknown;

const EditCase kEditCases[] = {
    {"LineInsertedAboveMovesBothDown", 0, 0, -1, 0, Qt::Key_Return, {}, {u"4 E"_s, u"6 W"_s}},
    {"EnterAtTheStartOfTheMarkedLineTakesTheMarkDown",
     2,
     0,
     -1,
     0,
     Qt::Key_Return,
     {},
     {u"4 E"_s, u"6 W"_s}},
    {"EnterAtTheEndOfTheMarkedLineLeavesIt", 2, 6, -1, 0, Qt::Key_Return, {}, {u"3 E"_s, u"6 W"_s}},
    {"TypingInTheMarkedLineKeepsIt", 2, 2, -1, 0, kType, u"xyz"_s, {u"3 E"_s, u"5 W"_s}},
    {"DeletedLineTakesItsMarkAlong", 2, 0, 3, 0, Qt::Key_Delete, {}, {u"4 W"_s}},
    {"LineDeletedWithTheBreakBeforeItTakesItsMarkAlong",
     1,
     2,
     2,
     6,
     Qt::Key_Backspace,
     {},
     {u"4 W"_s}},
    {"LineJoinedToTheOneAboveTakesTheMarkUp",
     2,
     0,
     -1,
     0,
     Qt::Key_Backspace,
     {},
     {u"2 E"_s, u"4 W"_s}},
    {"RetypedLineLosesItsMark", 4, 0, 4, 6, kType, u"fixed"_s, {u"3 E"_s}},
};

INSTANTIATE_TEST_SUITE_P(Edits, MarkEditTest, testing::ValuesIn(kEditCases),
                         testing_support::CaseName());

// Without line numbers a source window keeps a margin for breakpoints and marks, whose width
// does not change when marks come and go; the messages of a line are its tooltip, errors first.
TEST(MarkStrip, StaysAsWideWithOrWithoutMarksAndShowsTheMessagesOfEachLine) {
    SourceWindow window("class A {\n    int x = y;\n}\n");
    CSyntaxWindowView *view = window.view();
    auto *margin = view->findChild<LineNumberMargin *>();
    ASSERT_FALSE(LineNumberMargin::shownEverywhere());
    ASSERT_FALSE(margin->isHidden());
    const int textLeft = view->viewport()->x();
    EXPECT_EQ(textLeft - view->contentsRect().x(), margin->neededWidth());

    window.document()->lineMarks().setMarks(
        {{2, CompilerMessageKind::Warning, u"warning: w"_s},
         {2, CompilerMessageKind::Error,
          u"error: cannot find symbol\n    int x = y;\n"
          u"            ^"_s},
         {40, CompilerMessageKind::Error, u"error: beyond the end"_s}});
    EXPECT_EQ(view->viewport()->x(), textLeft);
    EXPECT_EQ(shownMarks(window), (QStringList{u"2 E"_s, u"4 E"_s}));
    const QRect area = margin->visibleMarks().first().area;
    EXPECT_EQ(margin->toolTipAt(margin->height() - 1), QString());
    // Resting the mouse on the mark shows them, in a fixed font so that the caret lines up.
    QHelpEvent hover(QEvent::ToolTip, area.center(), margin->mapToGlobal(area.center()));
    QApplication::sendEvent(margin, &hover);
    EXPECT_EQ(QToolTip::text(),
              u"<pre>error: cannot find symbol\n    int x = y;\n            ^\nwarning: w</pre>"_s);
    // The error mark is painted red, with a white cross through its middle.
    const QImage painted = margin->grab().toImage();
    const QColor edge =
        painted.pixelColor(QPoint(area.left() + 1, area.center().y()) * painted.devicePixelRatio());
    EXPECT_GT(edge.red(), 150);
    EXPECT_LT(edge.green(), 80);
    EXPECT_GT(painted.pixelColor(area.center() * painted.devicePixelRatio()).green(), 150);

    window.document()->lineMarks().clear();
    EXPECT_FALSE(margin->isHidden());
    EXPECT_EQ(view->viewport()->x(), textLeft);
}

} // namespace
