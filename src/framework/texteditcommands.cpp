#include "framework/texteditcommands.h"

#include "framework/application.h"
#include "framework/commandids.h"
#include "framework/commandtarget.h"
#include "framework/findreplacedialog.h"
#include "framework/prompter.h"

#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

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

void printTextView(QPlainTextEdit &editor) {
    QPrinter &printer = sharedPrinter();
    QPrintDialog dialog(&printer, &editor);
    if (editor.textCursor().hasSelection()) {
        dialog.setOption(QAbstractPrintDialog::PrintSelection);
    }
    if (prompter().runDialog(dialog) == QDialog::Accepted) {
        editor.print(&printer);
    }
}

void previewTextView(QPlainTextEdit &editor) {
    QPrintPreviewDialog dialog(&sharedPrinter(), &editor);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &editor,
                     [&editor](QPrinter *printer) { editor.print(printer); });
    prompter().runDialog(dialog);
}

} // namespace fw
