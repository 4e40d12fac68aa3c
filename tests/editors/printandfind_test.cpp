// Printing a window's text and finding in it, as a user does it in the running application.
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "framework/commandids.h"
#include "framework/findreplacedialog.h"
#include "framework/view.h"
#include "support/appharness.h"
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
    return (QByteArray("word ").repeated(width / 5).trimmed() + '\n').repeated(count);
}

// The pages the print preview of a file of these bytes shows.
int previewPages(AppHarness &harness, const QString &name, const QByteArray &text) {
    const QString path = harness.writeFile(name, text);
    if (!harness.app().openDocumentFile(path)) {
        ADD_FAILURE() << "cannot open " << path.toStdString();
        return 0;
    }
    int pages = -1;
    harness.prompter().runDialogNext([&pages](QDialog &dialog) {
        if (auto *preview = dialog.findChild<QPrintPreviewWidget *>()) {
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

// Lines of 1500 characters take many rows each on paper: cut at the margin, they would take the
// pages of short lines. Source and HTML windows alike.
TEST(Printing, LongLinesWrapOnThePageInsteadOfBeingCut) {
    for (const QString &name : {u"Wide.java"_s, u"wide.html"_s}) {
        AppHarness harness;
        const int shortPages = previewPages(harness, name, linesOf(40, 60));
        ASSERT_GE(shortPages, 1) << name.toStdString();
        EXPECT_GE(previewPages(harness, name, linesOf(40, 1500)), 5 * shortPages)
            << name.toStdString();
    }
}

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
    QPushButton *findNext = dialog.findChildren<QPushButton *>().value(0);
    ASSERT_NE(findNext, nullptr);
    ASSERT_EQ(findNext->text(), u"&Find Next"_s);
    QTest::mouseClick(findNext, Qt::LeftButton);
    EXPECT_EQ(static_cast<QPlainTextEdit *>(view->widget())->textCursor().selectedText(),
              u"target"_s);
    EXPECT_EQ(frame.paneText(CMainFrame::LinePane), u"Line: 3"_s);
    dialog.hide();
}

} // namespace
