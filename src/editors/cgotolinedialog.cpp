#include "editors/cgotolinedialog.h"

#include "editors/linejump.h"
#include "framework/commandids.h"
#include "framework/commandtarget.h"
#include "framework/prompter.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextBlock>

#include <algorithm>

CGoToLineDialog::CGoToLineDialog(int lineCount, int currentLine, QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Go to Line"));
    m_lineField = new QSpinBox;
    m_lineField->setRange(1, std::max(1, lineCount));
    m_lineField->setValue(currentLine);
    m_lineField->selectAll();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QFormLayout(this);
    auto *label = new QLabel(QStringLiteral("&Line number (1 - %1):").arg(m_lineField->maximum()));
    label->setBuddy(m_lineField);
    layout->addRow(label, m_lineField);
    layout->addRow(buttons);
}

CGoToLineDialog::~CGoToLineDialog() = default;

int CGoToLineDialog::lineNumber() const {
    return m_lineField->value();
}

namespace editors {

namespace {
QTextBlock blockOfLine(const QPlainTextEdit &editor, int line) {
    const QTextDocument &text = *editor.document();
    return text.findBlockByNumber(std::clamp(line, 0, text.blockCount() - 1));
}
} // namespace

void selectLine(QPlainTextEdit &editor, int line) {
    const QTextBlock block = blockOfLine(editor, line);
    QTextCursor selection(editor.document());
    selection.setPosition(block.position());
    selection.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    editor.setTextCursor(selection);
}

void placeCaret(QPlainTextEdit &editor, int line, int column) {
    const QTextBlock block = blockOfLine(editor, line);
    QTextCursor caret(editor.document());
    caret.setPosition(block.position() + std::clamp(column - 1, 0, block.length() - 1));
    editor.setTextCursor(caret);
}

void installGoToLineCommand(fw::CommandTarget &target, QPlainTextEdit &editor,
                            std::function<void(int)> goTo) {
    QPlainTextEdit *view = &editor;
    if (!goTo) {
        goTo = [view](int line) { jumpToLine(*view, line); };
    }
    target.addCommand(CommandId::GoToLine, [view, goTo] {
        CGoToLineDialog dialog(view->document()->blockCount(), view->textCursor().blockNumber() + 1,
                               view);
        if (fw::prompter().runDialog(dialog) == QDialog::Accepted) {
            goTo(dialog.lineNumber() - 1);
        }
    });
}

} // namespace editors
