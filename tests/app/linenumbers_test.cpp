#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/linenumbermargin.h"
#include "framework/document.h"
#include "framework/profile.h"
#include "framework/view.h"

#include "support/appharness.h"
#include "support/casename.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;

struct WindowCase {
    const char *name;
    const char *fileName;
    int innerMargin; // the window's own space between the line numbers and the text
    bool keepsStrip; // a margin for breakpoints and marks stays when the numbers go
};

class LineNumbersTest : public testing::TestWithParam<WindowCase> {
protected:
    // Opens a file of 300 numbered lines in the window its kind gets.
    QPlainTextEdit *openWindow(AppHarness &harness) {
        QByteArray text;
        for (int line = 1; line <= 300; ++line) {
            text += "line " + QByteArray::number(line) + "\n";
        }
        fw::Document *document =
            harness.app().openDocumentFile(harness.writeFile(GetParam().fileName, text));
        return document ? dynamic_cast<QPlainTextEdit *>(document->firstView()->widget()) : nullptr;
    }
    // Chooses Line Numbers in the menu bar the main window shows now.
    static void chooseLineNumbers(AppHarness &harness) {
        for (QAction *menu : harness.mainFrame().menuBar()->actions()) {
            for (QAction *item : menu->menu() ? menu->menu()->actions() : QList<QAction *>()) {
                if (item->text() == u"Line Numbers"_s) {
                    return item->trigger();
                }
            }
        }
        ADD_FAILURE() << "no Line Numbers in the menus";
    }
    static int stored(AppHarness &harness) {
        return harness.storedSettings()->readInt(u"OPTIONS"_s, u"LINENUMBERS"_s, -1);
    }
};

TEST_P(LineNumbersTest, MenuTurnsThemOnFollowingScrollingAndFontAndKeepsTheChoice) {
    {
        AppHarness harness;
        QPlainTextEdit *edit = openWindow(harness);
        ASSERT_NE(edit, nullptr);
        LineNumberMargin *margin = edit->findChild<LineNumberMargin *>();
        ASSERT_NE(margin, nullptr);
        chooseLineNumbers(harness);
        EXPECT_TRUE(margin->isVisible());

        // After scrolling, the number beside the top line is that line's own.
        edit->verticalScrollBar()->setValue(100);
        QTest::qWait(0);
        const QList<int> numbers = margin->visibleNumbers();
        ASSERT_FALSE(numbers.isEmpty());
        EXPECT_EQ(edit->cursorForPosition(QPoint(0, 0)).block().text(),
                  "line " + QString::number(numbers.first()));

        // A bigger font widens the margin to fit, and the text moves right by all of it.
        QFont bigger = edit->font();
        bigger.setPointSizeF(bigger.pointSizeF() * 2);
        edit->setFont(bigger);
        EXPECT_EQ(edit->viewport()->x() - edit->contentsRect().x(),
                  margin->neededWidth() + GetParam().innerMargin);
        EXPECT_EQ(stored(harness), 1);
    }
    // The next start shows them at once; choosing again hides them and is kept too.
    AppHarness harness(
        {}, [](fw::Profile &profile) { profile.writeInt(u"OPTIONS"_s, u"LINENUMBERS"_s, 1); });
    QPlainTextEdit *edit = openWindow(harness);
    ASSERT_NE(edit, nullptr);
    LineNumberMargin *margin = edit->findChild<LineNumberMargin *>();
    EXPECT_TRUE(margin->isVisible());
    const int numbered = margin->neededWidth();
    chooseLineNumbers(harness);
    EXPECT_EQ(margin->isHidden(), !GetParam().keepsStrip);
    const int strip = margin->isHidden() ? 0 : margin->neededWidth();
    EXPECT_LT(strip, numbered);
    EXPECT_EQ(edit->viewport()->x(), edit->contentsRect().x() + GetParam().innerMargin + strip);
    EXPECT_EQ(stored(harness), 0);
}

const WindowCase kWindows[] = {{"SourceWindow", "Numbers.java", 0, true},
                               {"HtmlWindow", "numbers.html", 12, false}};
INSTANTIATE_TEST_SUITE_P(Windows, LineNumbersTest, testing::ValuesIn(kWindows),
                         testing_support::CaseName());

} // namespace
