#include "framework/texteditcommands.h"

#include "framework/application.h"
#include "framework/commandids.h"
#include "framework/commandtarget.h"
#include "framework/findreplacedialog.h"
#include "framework/prompter.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextOption>

#include <algorithm>
#include <memory>

namespace fw {

namespace {
QPrinter &sharedPrinter() {
    static QPrinter fallback(QPrinter::HighResolution);
    Application *application = Application::instance();
    return application ? application->printer() : fallback;
}
} // namespace

void installTextEditCommands(CommandTarget &target, QPlainTextEdit &editor) {
    QPlainTextEdit *view = &editor;
    target.addCommand(CommandId::EditUndo, [view] { view->undo(); });
    target.addUpdate(CommandId::EditUndo, [view](CommandUi &ui) {
        ui.setEnabled(!view->isReadOnly() && view->document()->isUndoAvailable());
    });
    target.addCommand(CommandId::EditRedo, [view] { view->redo(); });
    target.addUpdate(CommandId::EditRedo, [view](CommandUi &ui) {
        ui.setEnabled(!view->isReadOnly() && view->document()->isRedoAvailable());
    });
    target.addCommand(CommandId::EditCut, [view] { view->cut(); });
    target.addUpdate(CommandId::EditCut, [view](CommandUi &ui) {
        ui.setEnabled(!view->isReadOnly() && view->textCursor().hasSelection());
    });
    target.addCommand(CommandId::EditCopy, [view] { view->copy(); });
    target.addUpdate(CommandId::EditCopy,
                     [view](CommandUi &ui) { ui.setEnabled(view->textCursor().hasSelection()); });
    target.addCommand(CommandId::EditPaste, [view] { view->paste(); });
    target.addUpdate(CommandId::EditPaste, [view](CommandUi &ui) {
        ui.setEnabled(!view->isReadOnly() && view->canPaste());
    });
    target.addCommand(CommandId::EditSelectAll, [view] { view->selectAll(); });
    target.addUpdate(CommandId::EditSelectAll,
                     [view](CommandUi &ui) { ui.setEnabled(!view->document()->isEmpty()); });
    target.addCommand(CommandId::EditFind,
                      [view] { FindReplaceDialog::instance().showFind(view); });
    target.addCommand(CommandId::EditReplace,
                      [view] { FindReplaceDialog::instance().showReplace(view); });
    target.addCommand(CommandId::EditRepeat, [view] {
        FindReplaceDialog &dialog = FindReplaceDialog::instance();
        if (dialog.hasLastSearch()) {
            FindReplaceDialog::findNext(*view, dialog.lastSearch());
        } else {
            dialog.showFind(view);
        }
    });
    target.addCommand(CommandId::FilePrint, [view] { printTextView(*view); });
    target.addCommand(CommandId::FilePrintPreview, [view] { previewTextView(*view); });
}

namespace {
// Sets the printer's margins for one print and puts the old ones back afterwards.
class PageMargins {
public:
    PageMargins(QPrinter &printer, const QMarginsF &margins)
        : m_printer(printer)
        , m_saved(printer.pageLayout().margins(QPageLayout::Millimeter)) {
        m_printer.setPageMargins(margins, QPageLayout::Millimeter);
    }
    ~PageMargins() { m_printer.setPageMargins(m_saved, QPageLayout::Millimeter); }
    PageMargins(const PageMargins &) = delete;
    PageMargins &operator=(const PageMargins &) = delete;

private:
    QPrinter &m_printer;
    QMarginsF m_saved;
};
} // namespace

namespace {
// Prints the text with its long lines wrapped on the page: a window may show them unwrapped,
// but paper has no scroll bar, and a line cut at the margin loses text.
void printWrapped(const QTextDocument &document, QPrinter *printer) {
    const std::unique_ptr<QTextDocument> pages(document.clone());
    QTextOption option = pages->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    pages->setDefaultTextOption(option);
    pages->print(printer);
}

// What a text view prints: its selection when the print dialog asked for that, else its text.
void printTextOf(QPlainTextEdit &editor, QPrinter *printer) {
    if (printer->printRange() == QPrinter::Selection && editor.textCursor().hasSelection()) {
        QTextDocument selection;
        selection.setDefaultFont(editor.document()->defaultFont());
        QTextCursor(&selection).insertFragment(editor.textCursor().selection());
        printWrapped(selection, printer);
        return;
    }
    printWrapped(*editor.document(), printer);
}
} // namespace

void printDocument(const QTextDocument &document, QWidget *parent, const QMarginsF &margins) {
    QPrinter &printer = sharedPrinter();
    const PageMargins pageMargins(printer, margins);
    QPrintDialog dialog(&printer, parent);
    if (prompter().runDialog(dialog) == QDialog::Accepted) {
        printWrapped(document, &printer);
    }
}

void previewDocument(const QTextDocument &document, QWidget *parent, const QMarginsF &margins) {
    QPrinter &printer = sharedPrinter();
    const PageMargins pageMargins(printer, margins);
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, parent,
                     [&document](QPrinter *target) { printWrapped(document, target); });
    prompter().runDialog(dialog);
}

void printTextView(QPlainTextEdit &editor) {
    QPrinter &printer = sharedPrinter();
    QPrintDialog dialog(&printer, &editor);
    if (editor.textCursor().hasSelection()) {
        dialog.setOption(QAbstractPrintDialog::PrintSelection);
    }
    if (prompter().runDialog(dialog) == QDialog::Accepted) {
        printTextOf(editor, &printer);
    }
}

void previewTextView(QPlainTextEdit &editor) {
    QPrintPreviewDialog dialog(&sharedPrinter(), &editor);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &editor,
                     [&editor](QPrinter *printer) { printTextOf(editor, printer); });
    prompter().runDialog(dialog);
}

QResizeEvent widthChangeForQt(const QPlainTextEdit &edit, const QResizeEvent &event) {
    // About as many lines as Qt lays out again in a few milliseconds.
    constexpr int kMostLinesLaidOutAgain = 20000;
    if (edit.document()->blockCount() <= kMostLinesLaidOutAgain) {
        return QResizeEvent(event.size(), event.oldSize());
    }
    return QResizeEvent(event.size(), QSize(event.size().width(), event.oldSize().height()));
}

void forEachShownBlock(const QPlainTextEdit &edit, const std::function<void(QTextBlock)> &visit) {
    const int lineHeight = std::max(1, edit.fontMetrics().lineSpacing());
    const int lines = edit.viewport()->height() / lineHeight + 2;
    QTextBlock block = edit.cursorForPosition(QPoint(0, 0)).block();
    for (int line = 0; line < lines && block.isValid(); ++line, block = block.next()) {
        visit(block);
    }
}

bool setShownFormats(QTextDocument &document, const QTextBlock &block,
                     const QList<QTextLayout::FormatRange> &ranges) {
    QTextLayout *layout = block.layout();
    if (ranges.isEmpty() && layout->formats().isEmpty()) {
        return false;
    }
    layout->setFormats(ranges);
    const QSignalBlocker quiet(document.documentLayout());
    document.markContentsDirty(block.position(), block.length());
    return true;
}

} // namespace fw
