#include "editors/completioncontroller.h"

#include "editors/completionpopup.h"
#include "editors/importline.h"
#include "framework/findreplacedialog.h"
#include "tools/javaservices.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSet>
#include <QTextBlock>

namespace {

bool isCompletionKey(const QKeyEvent &event) {
    return event.key() == Qt::Key_Space
           && (event.modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

// The keys the list takes while it is shown.
bool isListKey(const QKeyEvent &event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)) {
        return false;
    }
    switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

} // namespace

CompletionController::CompletionController(QPlainTextEdit *editor, fw::EditRunner *edits,
                                           ServiceSetup setup, Fallback fallback, CodeTest isCode)
    : QObject(editor)
    , m_editor(editor)
    , m_edits(edits)
    , m_setup(std::move(setup))
    , m_fallback(std::move(fallback))
    , m_isCode(std::move(isCode))
    , m_popup(new CompletionPopup(editor)) {
    m_dotDelay.setSingleShot(true);
    m_dotDelay.setInterval(kDotDelayMs);
    connect(&m_dotDelay, &QTimer::timeout, this, &CompletionController::dotTyped);
    connect(m_popup, &CompletionPopup::chosen, this, &CompletionController::insertCurrent);
    connect(editor, &QPlainTextEdit::cursorPositionChanged, this, &CompletionController::follow);
    m_firstEdit = connect(editor, &QPlainTextEdit::textChanged, this, [this] {
        // A text read or set anew has no undo history: only typing counts.
        if (m_editor->document()->isUndoAvailable()) {
            disconnect(m_firstEdit);
            warmUp();
        }
    });
    editor->installEventFilter(this);
}

CompletionController::~CompletionController() {
    cancelRequest();
}

CompletionPopup *CompletionController::popup() const {
    return m_popup;
}

bool CompletionController::isShown() const {
    return m_popup && m_popup->isVisible();
}

bool CompletionController::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_editor) {
        return false;
    }
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Keys the list or completion take are not shortcuts of any window meanwhile.
        auto *key = static_cast<QKeyEvent *>(event);
        if (isCompletionKey(*key) || (isShown() && isListKey(*key))) {
            event->accept();
            return true;
        }
        return false;
    }
    case QEvent::KeyPress:
        return handleKey(static_cast<QKeyEvent *>(event));
    case QEvent::FocusOut:
    case QEvent::Hide:
        close();
        return false;
    default:
        return false;
    }
}

bool CompletionController::handleKey(QKeyEvent *event) {
    if (isCompletionKey(*event)) {
        complete();
        return true;
    }
    if (isShown() && isListKey(*event)) {
        const int page = CompletionPopup::kVisibleRows - 1;
        switch (event->key()) {
        case Qt::Key_Up:
            m_popup->moveCurrent(-1);
            break;
        case Qt::Key_Down:
            m_popup->moveCurrent(1);
            break;
        case Qt::Key_PageUp:
            m_popup->moveCurrent(-page);
            break;
        case Qt::Key_PageDown:
            m_popup->moveCurrent(page);
            break;
        case Qt::Key_Escape:
            close();
            break;
        default:
            insertCurrent();
            break;
        }
        return true;
    }
    // Erasing the character before the name leaves it.
    if (event->key() == Qt::Key_Backspace && !m_start.isNull()
        && m_editor->textCursor().position() == m_start.position()) {
        close();
        return false;
    }
    // After a '.', asked once the editor has it and typing pauses; a name typed on after the
    // '.' keeps the wait going, anything else ends it.
    const QString typed = event->text();
    if (typed == QLatin1String(".")
        || (m_dotDelay.isActive() && typed.size() == 1
            && editors::isIdentifierCharacter(typed.front()))) {
        m_dotDelay.start();
    } else if (!typed.isEmpty()) {
        m_dotDelay.stop();
    }
    return false;
}

void CompletionController::dotTyped() {
    const QTextCursor caret = m_editor->textCursor();
    if (caret.hasSelection()) {
        return;
    }
    const QString line = caret.block().text();
    const int column = editors::identifierStart(line, caret.positionInBlock());
    if (column < 2 || line[column - 1] != u'.') {
        return;
    }
    // After a name, a call or an index; not after a number or in a comment or string.
    const QChar before = line[column - 2];
    const int nameStart = editors::identifierStart(line, column - 1);
    const bool afterName = editors::isIdentifierCharacter(before) && !line[nameStart].isDigit();
    if ((afterName || before == u')' || before == u']')
        && (!m_isCode || m_isCode(caret.block().position() + column - 1))) {
        complete();
    }
}

void CompletionController::complete() {
    cancelRequest();
    m_incomplete = false;
    m_dotDelay.stop();
    const QString text = m_editor->toPlainText();
    const int caret = m_editor->textCursor().position();
    m_start = QTextCursor(m_editor->document());
    m_start.setPosition(editors::identifierStart(text, caret));
    // The name is typed at its start: the start stays where it is.
    m_start.setKeepPositionOnInsert(true);
    const std::optional<LiveCheckSetup> setup = m_setup ? m_setup(text) : std::nullopt;
    if (!setup) {
        showFallback();
        return;
    }
    javaservice::JavaServiceClient &client = javaServices();
    if (!m_listening) {
        m_listening = true;
        connect(&client, &javaservice::JavaServiceClient::completed, this,
                &CompletionController::completed);
        connect(&client, &javaservice::JavaServiceClient::failed, this,
                [this](javaservice::RequestId id) {
                    if (id != 0 && id == m_request) {
                        m_request = 0;
                        showFallback();
                    }
                });
    }
    javaservice::CheckRequest request = setup->request;
    request.text = text;
    m_request = client.complete(setup->jdkFolder, setup->folder, request, caret);
}

void CompletionController::completed(javaservice::RequestId id,
                                     const javaservice::Completions &completions) {
    if (id == 0 || id != m_request) {
        return;
    }
    m_request = 0;
    m_incomplete = !completions.complete;
    show(completions.items);
}

void CompletionController::showFallback() {
    if (m_fallback) {
        show(m_fallback(typedName().value_or(QString())));
    }
}

void CompletionController::show(QList<editors::CompletionItem> items) {
    if (!typedName()) {
        close();
        return;
    }
    m_popup->setItems(std::move(items));
    follow();
}

void CompletionController::follow() {
    if (m_start.isNull()) {
        return;
    }
    const std::optional<QString> typed = typedName();
    if (!typed) {
        close();
        return;
    }
    if (m_request != 0) {
        return; // the answer is filtered when it comes
    }
    if (m_incomplete && !typed->isEmpty()) {
        // The list shown meanwhile is followed again once the fuller one comes.
        complete();
        return;
    }
    if (!m_popup->filter(*typed)) {
        m_popup->hide(); // back in view when typing or erasing brings entries back
        return;
    }
    const QRect caret = m_editor->cursorRect(m_start);
    const QPoint below = m_editor->viewport()->mapToGlobal(caret.bottomLeft());
    const QPoint above = m_editor->viewport()->mapToGlobal(caret.topLeft());
    m_popup->placeAt(below, above);
    m_popup->show();
}

std::optional<QString> CompletionController::typedName() const {
    const QTextCursor caret = m_editor->textCursor();
    if (m_start.isNull() || caret.hasSelection() || caret.block() != m_start.block()
        || caret.position() < m_start.position()) {
        return std::nullopt;
    }
    const QString line = caret.block().text();
    if (editors::identifierStart(line, caret.positionInBlock()) != m_start.positionInBlock()) {
        return std::nullopt;
    }
    return line.mid(m_start.positionInBlock(), caret.positionInBlock() - m_start.positionInBlock());
}

void CompletionController::insertCurrent() {
    const editors::CompletionItem *current = m_popup->currentItem();
    if (!current || !typedName()) {
        close();
        return;
    }
    const editors::CompletionItem item = *current;
    const int start = m_start.position();
    const int caret = m_editor->textCursor().position();
    close();
    const QString text = m_editor->toPlainText();
    editors::CompletionInsertion insertion =
        editors::insertionFor(item, QStringView(text).mid(caret));
    editors::ImportPlan import;
    if (!item.qualifiedName.isEmpty()) {
        import = editors::planImport(text, item.qualifiedName);
        if (import.need == editors::ImportPlan::Need::Conflict) {
            insertion = {item.qualifiedName, int(item.qualifiedName.size())};
        }
    }
    QTextCursor cursor(m_editor->document());
    m_edits->runEdit([&] {
        cursor.beginEditBlock();
        cursor.setPosition(start);
        cursor.setPosition(caret, QTextCursor::KeepAnchor);
        cursor.insertText(insertion.text);
        cursor.endEditBlock();
    });
    int newCaret = start + insertion.caretInText;
    if (import.need == editors::ImportPlan::Need::Insert && import.position <= start) {
        // A second edit, so that only the lines it touches are coloured again, undone with the
        // name as one step.
        m_edits->runEdit([&] {
            cursor.joinPreviousEditBlock();
            cursor.setPosition(import.position);
            cursor.insertText(import.text);
            cursor.endEditBlock();
        });
        newCaret += int(import.text.size());
    }
    cursor.setPosition(newCaret);
    m_editor->setTextCursor(cursor);
    m_editor->ensureCursorVisible();
}

void CompletionController::close() {
    cancelRequest();
    m_start = QTextCursor();
    if (m_popup) {
        m_popup->hide();
    }
}

void CompletionController::warmUp() {
    const QString text = m_editor->toPlainText();
    const std::optional<LiveCheckSetup> setup = m_setup ? m_setup(text) : std::nullopt;
    if (!setup) {
        return;
    }
    // Once for each service: its answers go to nobody.
    static QSet<QString> warmed;
    const QString service = setup->jdkFolder + QLatin1Char('\n') + setup->folder;
    if (warmed.contains(service)) {
        return;
    }
    warmed.insert(service);
    javaservice::CheckRequest request = setup->request;
    request.text = text;
    javaServices().complete(setup->jdkFolder, setup->folder, request, -1);
}

void CompletionController::cancelRequest() {
    if (m_request != 0) {
        javaServices().cancel(std::exchange(m_request, 0));
    }
}
