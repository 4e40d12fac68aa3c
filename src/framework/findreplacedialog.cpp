#include "framework/findreplacedialog.h"

#include "framework/prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace fw {

QTextDocument::FindFlags SearchRequest::flags() const {
    QTextDocument::FindFlags result;
    if (matchCase) {
        result |= QTextDocument::FindCaseSensitively;
    }
    if (wholeWord) {
        result |= QTextDocument::FindWholeWords;
    }
    if (searchUp) {
        result |= QTextDocument::FindBackward;
    }
    return result;
}

SearchEvents &SearchEvents::instance() {
    static SearchEvents events;
    return events;
}

FindReplaceDialog &FindReplaceDialog::instance() {
    static QPointer<FindReplaceDialog> dialog;
    if (!dialog) {
        dialog = new FindReplaceDialog;
    }
    return *dialog;
}

FindReplaceDialog::FindReplaceDialog()
    : QDialog(QApplication::activeWindow()) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_findEdit = new QLineEdit;
    m_replaceEdit = new QLineEdit;
    m_wholeWord = new QCheckBox(QStringLiteral("Match &whole word only"));
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"));
    m_up = new QRadioButton(QStringLiteral("&Up"));
    m_down = new QRadioButton(QStringLiteral("&Down"));
    m_down->setChecked(true);

    auto *grid = new QGridLayout;
    auto *findLabel = new QLabel(QStringLiteral("Fi&nd what:"));
    findLabel->setBuddy(m_findEdit);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(m_findEdit, 0, 1);
    m_replaceRow = new QLabel(QStringLiteral("Re&place with:"));
    static_cast<QLabel *>(m_replaceRow)->setBuddy(m_replaceEdit);
    grid->addWidget(m_replaceRow, 1, 0);
    grid->addWidget(m_replaceEdit, 1, 1);

    auto *direction = new QGroupBox(QStringLiteral("Direction"));
    auto *directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);

    auto *options = new QVBoxLayout;
    options->addWidget(m_wholeWord);
    options->addWidget(m_matchCase);
    auto *lower = new QHBoxLayout;
    lower->addLayout(options);
    lower->addWidget(direction);

    auto *buttons = new QDialogButtonBox(Qt::Vertical);
    QPushButton *findNextButton =
        buttons->addButton(QStringLiteral("&Find Next"), QDialogButtonBox::ActionRole);
    m_replaceButton = buttons->addButton(QStringLiteral("&Replace"), QDialogButtonBox::ActionRole);
    m_replaceAllButton =
        buttons->addButton(QStringLiteral("Replace &All"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Cancel);

    auto *left = new QVBoxLayout;
    left->addLayout(grid);
    left->addLayout(lower);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(buttons);
    // Enter in the dialog means Find Next. A button is the dialog's default only once it is
    // inside the dialog.
    findNextButton->setDefault(true);

    connect(findNextButton, &QPushButton::clicked, this, [this] {
        takeRequest();
        if (m_editor) {
            findNext(*m_editor, m_request);
        }
    });
    connect(m_replaceButton, &QPushButton::clicked, this, [this] {
        takeRequest();
        if (m_editor) {
            replaceCurrent(*m_editor, m_request);
        }
    });
    connect(m_replaceAllButton, &QPushButton::clicked, this, [this] {
        takeRequest();
        if (m_editor) {
            replaceAll(*m_editor, m_request);
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
}

void FindReplaceDialog::showFind(QPlainTextEdit *editor) {
    present(editor, false);
}

void FindReplaceDialog::showReplace(QPlainTextEdit *editor) {
    present(editor, true);
}

void FindReplaceDialog::present(QPlainTextEdit *editor, bool withReplace) {
    m_editor = editor;
    setWindowTitle(withReplace ? QStringLiteral("Replace") : QStringLiteral("Find"));
    m_replaceRow->setVisible(withReplace);
    m_replaceEdit->setVisible(withReplace);
    m_replaceButton->setVisible(withReplace);
    m_replaceAllButton->setVisible(withReplace);
    // Start from the selected word, as editors do.
    if (editor) {
        const QString selected = editor->textCursor().selectedText();
        if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator)) {
            m_findEdit->setText(selected);
        }
    }
    m_findEdit->selectAll();
    adjustSize();
    show();
    raise();
    activateWindow();
    m_findEdit->setFocus();
}

void FindReplaceDialog::takeRequest() {
    m_request.findText = m_findEdit->text();
    m_request.replaceText = m_replaceEdit->text();
    m_request.matchCase = m_matchCase->isChecked();
    m_request.wholeWord = m_wholeWord->isChecked();
    m_request.searchUp = m_up->isChecked();
}

namespace {
// Runs an edit of the editor through the editor itself when it wants to follow edits.
void runEdit(QPlainTextEdit &editor, const std::function<void()> &edit) {
    if (auto *runner = dynamic_cast<EditRunner *>(&editor)) {
        runner->runEdit(edit);
    } else {
        edit();
    }
}
} // namespace

bool FindReplaceDialog::findNext(QPlainTextEdit &editor, const SearchRequest &request) {
    if (request.findText.isEmpty()) {
        return false;
    }
    if (editor.find(request.findText, request.flags())) {
        Q_EMIT SearchEvents::instance().selectionMoved(&editor);
        return true;
    }
    prompter().message(QStringLiteral("Cannot find the string '%1'.").arg(request.findText));
    return false;
}

bool FindReplaceDialog::replaceCurrent(QPlainTextEdit &editor, const SearchRequest &request) {
    QTextCursor cursor = editor.textCursor();
    const Qt::CaseSensitivity sensitivity =
        request.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (cursor.hasSelection()
        && QString::compare(cursor.selectedText(), request.findText, sensitivity) == 0
        && !editor.isReadOnly()) {
        runEdit(editor, [&cursor, &request] { cursor.insertText(request.replaceText); });
        editor.setTextCursor(cursor);
    }
    return findNext(editor, request);
}

int FindReplaceDialog::replaceAll(QPlainTextEdit &editor, const SearchRequest &request) {
    if (request.findText.isEmpty() || editor.isReadOnly()) {
        return 0;
    }
    QTextDocument::FindFlags flags = request.flags();
    flags &= ~QTextDocument::FindFlags(QTextDocument::FindBackward);
    int count = 0;
    runEdit(editor, [&editor, &request, flags, &count] {
        QTextCursor edit(editor.document());
        edit.beginEditBlock();
        QTextCursor found = editor.document()->find(request.findText, 0, flags);
        while (!found.isNull()) {
            found.insertText(request.replaceText);
            ++count;
            found = editor.document()->find(request.findText, found.position(), flags);
        }
        edit.endEditBlock();
    });
    if (count == 0) {
        prompter().message(QStringLiteral("Cannot find the string '%1'.").arg(request.findText));
    }
    return count;
}

} // namespace fw
