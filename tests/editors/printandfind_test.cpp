// Printing a window's text and finding in it, as a user does it in a running Tarvo.
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "framework/commandids.h"
#include "framework/findreplacedialog.h"
#include "framework/view.h"
#include "support/appharness.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;

// Lines of words, each about width characters long.
QByteArray linesOf(int count, int width) {
    QByteArray text;
    for (int line = 0; line < count; ++line) {
        QByteArray row;
        for (int word = 0; row.size() < width; ++word) {
            row += "word" + QByteArray::number(word) + ' ';
        }
        text += row.trimmed() + '\n';
    }
    return text;
}

struct PrintCase {
    const char *name;
    const char *file;
};

class PrintTest : public ::testing::TestWithParam<PrintCase> {
protected:
    // The pages the print preview of a file of these lines shows.
    int previewPages(const QByteArray &text) {
        const QString path = harness.writeFile(QString::fromLatin1(GetParam().file), text);
        if (!harness.app().openDocumentFile(path)) {
            ADD_FAILURE() << "cannot open " << path.toStdString();
            return 0;
        }
        int pages = -1;
        harness.prompter().runDialogNext([&pages](QDialog &dialog) {
            auto *preview = dialog.findChild<QPrintPreviewWidget *>();
            if (preview) {
                preview->updatePreview();
                pages = preview->pageCount();
            }
            return int(QDialog::Rejected);
        });
        EXPECT_TRUE(harness.mainFrame().executeCommand(CommandId::FilePrintPreview));
        harness.mainFrame().executeCommand(CommandId::FileClose);
        AppHarness::processEvents();
        return pages;
    }

    AppHarness harness;
};

TEST_P(PrintTest, LongLinesWrapOnThePageInsteadOfBeingCut) {
    const int lines = 40;
    const int shortPages = previewPages(linesOf(lines, 60));
    ASSERT_GE(shortPages, 1);
    // Lines of 1500 characters take many rows each on paper: cut at the margin, they would take
    // the pages of the short lines.
    const int longPages = previewPages(linesOf(lines, 1500));
    EXPECT_GE(longPages, 5 * shortPages);
}

INSTANTIATE_TEST_SUITE_P(Printing, PrintTest,
                         ::testing::Values(PrintCase{"SourceWindow", "Wide.java"},
                                           PrintCase{"HtmlWindow", "wide.html"}),
                         testing_support::CaseName());

TEST(Find, LinePaneShowsTheLineFindMovedTo) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    ASSERT_NE(harness.app().openDocumentFile(harness.writeFile(
                  u"A.java"_s, "class A {\n    int a;\n    int target;\n    int b;\n}\n")),
              nullptr);
    fw::View *view = frame.activeView();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(frame.paneText(CMainFrame::LinePane), u"Line: 3"_s);

    ASSERT_TRUE(frame.executeCommand(CommandId::EditFind));
    fw::FindReplaceDialog &dialog = fw::FindReplaceDialog::instance();
    auto *findText = dialog.findChild<QLineEdit *>();
    ASSERT_NE(findText, nullptr);
    findText->setText(u"target"_s);
    QPushButton *findNext = nullptr;
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        findNext = button->text() == u"&Find Next"_s ? button : findNext;
    }
    ASSERT_NE(findNext, nullptr);
    QTest::mouseClick(findNext, Qt::LeftButton);
    EXPECT_EQ(static_cast<QPlainTextEdit *>(view->widget())->textCursor().selectedText(),
              u"target"_s);
    EXPECT_EQ(frame.paneText(CMainFrame::LinePane), u"Line: 3"_s);

    // The next Find moves on from there, and the pane follows again.
    findText->setText(u"int"_s);
    QTest::mouseClick(findNext, Qt::LeftButton);
    EXPECT_EQ(frame.paneText(CMainFrame::LinePane), u"Line: 4"_s);
    dialog.hide();
}

} // namespace
