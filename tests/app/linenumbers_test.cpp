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
};

class LineNumbersTest : public testing::TestWithParam<WindowCase> {
protected:
    // Opens a file of 300 numbered lines in the window its kind gets.
    QPlainTextEdit *openWindow(AppHarness &harness) {
        QByteArray text;
        for (int line = 1; line <= 300; ++line) {
            text += "line " + QByteArray::number(line) + "\n";
        }
        const QString path = harness.writeFile(GetParam().fileName, text);
        fw::Document *document = harness.app().openDocumentFile(path);
        return document ? dynamic_cast<QPlainTextEdit *>(document->firstView()->widget()) : nullptr;
    }
    // Chooses View > Line Numbers in the menu bar the main window shows now.
    static void chooseLineNumbers(AppHarness &harness) {
        for (QAction *menu : harness.mainFrame().menuBar()->actions()) {
            if (menu->menu() && menu->text() == QStringLiteral("&View")) {
                for (QAction *item : menu->menu()->actions()) {
                    if (item->text() == QStringLiteral("Line Numbers")) {
                        item->trigger();
                        return;
                    }
                }
            }
        }
        ADD_FAILURE() << "no View > Line Numbers";
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
        EXPECT_EQ(harness.storedSettings()->readInt(u"OPTIONS"_s, u"LINENUMBERS"_s, -1), 1);
    }
    {
        // The next start shows them at once; choosing again hides them and is kept too.
        AppHarness harness(
            {}, [](fw::Profile &profile) { profile.writeInt(u"OPTIONS"_s, u"LINENUMBERS"_s, 1); });
        QPlainTextEdit *edit = openWindow(harness);
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(edit->findChild<LineNumberMargin *>()->isVisible());
        chooseLineNumbers(harness);
        EXPECT_TRUE(edit->findChild<LineNumberMargin *>()->isHidden());
        EXPECT_EQ(edit->viewport()->x(), edit->contentsRect().x() + GetParam().innerMargin);
        EXPECT_EQ(harness.storedSettings()->readInt(u"OPTIONS"_s, u"LINENUMBERS"_s, -1), 0);
    }
}

const WindowCase kWindows[] = {
    {"SourceWindow", "Numbers.java", 0},
    {"HtmlWindow", "numbers.html", 12},
};

INSTANTIATE_TEST_SUITE_P(Windows, LineNumbersTest, testing::ValuesIn(kWindows),
                         testing_support::CaseName());

} // namespace
