#include "editors/ceditfontview.h"

#include "editors/linenumbermargin.h"
#include "editors/plaintextdocument.h"
#include "editors/plaintextediting.h"
#include "editors/wordbreak.h"
#include "framework/commandids.h"
#include "framework/texteditcommands.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>

namespace {

bool isEnterKey(const QKeyEvent &event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

// A line's text, where a position falls in it, and the line's start.
struct LineAt {
    QString text;
    int column = 0;
    int start = 0;
};

LineAt lineAt(const QTextDocument &document, int position) {
    const QTextBlock block = document.findBlock(position);
    return {block.text(), position - block.position(), block.position()};
}

} // namespace

CEditFontView::CEditFontView() {
    fw::installTextEditCommands(*this, *this);
    addCommand(CommandId::IncreaseIndent, [this] { IndentSelection(); });
    addCommand(CommandId::DecreaseIndent, [this] { OutdentSelection(); });
    addCommand(CommandId::Font, [this] { ChooseFont(); });
    addCommand(CommandId::ConvertLinebreaks, [this] { ConvertLinebreaks(); });
    LineNumberMargin::attach(this, [this](int width) {
        m_lineNumberWidth = width;
        SetTextMargins();
    });
    // The inner margins round the text are part of the white text area, not of the frame.
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

CEditFontView::~CEditFontView() = default;

PlainTextDocument *CEditFontView::plainDocument() const {
    return dynamic_cast<PlainTextDocument *>(doc());
}

void CEditFontView::onInitialUpdate() {
    if (PlainTextDocument *text = plainDocument()) {
        setDocument(text->textDocument());
    }
    // The views of a document share its text and its layout, and so its font: a further window
    // on the document takes the font of the one already open rather than the stored one.
    const CEditFontView *shown = firstOtherView();
    applyViewFont(shown ? shown->m_viewFont : editors::storedSourceFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    fw::View::onInitialUpdate();
    SetTextMargins();
}

void CEditFontView::applyViewFont(const QFont &font) {
    m_viewFont = font;
    editors::setViewFont(*this, m_viewFont);
}

void CEditFontView::SetTextMargins() {
    // The inner margin lies between the line numbers, when shown, and the text.
    setViewportMargins(m_lineNumberWidth + kLeftTextMargin, kTopTextMargin, 0, 0);
}

void CEditFontView::AutoIndent() {
    editors::repeatIndentationOfLineAbove(*this);
}

void CEditFontView::IndentSelection() {
    editors::indentSelectedLines(*this, editors::SelectionEndLine::EndPosition, false);
    ensureCursorVisible();
}

void CEditFontView::OutdentSelection() {
    editors::outdentSelectedLines(*this, editors::SelectionEndLine::EndPosition);
    ensureCursorVisible();
}

void CEditFontView::ConvertLinebreaks() {
    PlainTextDocument *text = plainDocument();
    if (!text) {
        return;
    }
    setUpdatesEnabled(false);
    text->ConvertLinebreaks();
    setUpdatesEnabled(true);
}

void CEditFontView::ChooseFont() {
    const std::optional<QFont> chosen = editors::chooseSourceFont(m_viewFont);
    if (!chosen) {
        return;
    }
    applyViewFont(*chosen);
    // The other windows on the document show the text in the new font anyway: they take it
    // whole, so that their tab stops and caret follow.
    if (fw::Document *document = doc()) {
        for (fw::View *view : document->views()) {
            if (auto *other = dynamic_cast<CEditFontView *>(view); other && other != this) {
                other->applyViewFont(*chosen);
            }
        }
    }
}

const CEditFontView *CEditFontView::firstOtherView() const {
    if (const fw::Document *document = doc()) {
        for (fw::View *view : document->views()) {
            if (auto *other = dynamic_cast<const CEditFontView *>(view); other && other != this) {
                return other;
            }
        }
    }
    return nullptr;
}

int CEditFontView::NextWordPosition(int position) const {
    const LineAt line = lineAt(*document(), position);
    const int length = int(line.text.size());
    if (line.column >= length) {
        const QTextBlock next = document()->findBlock(position).next();
        return next.isValid() ? next.position() : position;
    }
    // Asked from the next character, so that a move from the end of one word goes on to the
    // end of the next.
    return line.start
           + editors::WordBreak(line.text, line.column + 1, length,
                                editors::WordBreakAction::Right);
}

int CEditFontView::PreviousWordPosition(int position) const {
    const LineAt line = lineAt(*document(), position);
    if (line.column == 0) {
        const QTextBlock previous = document()->findBlock(position).previous();
        return previous.isValid() ? previous.position() + previous.length() - 1 : position;
    }
    // Asked from the previous character, so that a move from the start of one word goes on to
    // the start of the one before.
    return line.start
           + editors::WordBreak(line.text, line.column - 1, int(line.text.size()),
                                editors::WordBreakAction::Left);
}

void CEditFontView::SelectWordAt(int position) {
    const LineAt line = lineAt(*document(), position);
    const int length = int(line.text.size());
    QTextCursor word(document());
    word.setPosition(
        line.start
        + editors::WordBreak(line.text, line.column, length, editors::WordBreakAction::Left));
    word.setPosition(
        line.start
            + editors::WordBreak(line.text, line.column, length, editors::WordBreakAction::Right),
        QTextCursor::KeepAnchor);
    setTextCursor(word);
}

bool CEditFontView::moveByWord(const QKeyEvent &event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (!(modifiers & Qt::ControlModifier) || (modifiers & (Qt::AltModifier | Qt::MetaModifier))) {
        return false;
    }
    const bool extend = modifiers & Qt::ShiftModifier;
    const QTextCursor::MoveMode mode = extend ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    QTextCursor cursor = textCursor();
    switch (event.key()) {
    case Qt::Key_Right:
        cursor.setPosition(NextWordPosition(cursor.position()), mode);
        break;
    case Qt::Key_Left:
        cursor.setPosition(PreviousWordPosition(cursor.position()), mode);
        break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        // Ctrl+Delete and Ctrl+Backspace take the same words away.
        if (extend || isReadOnly()) {
            return false;
        }
        if (!cursor.hasSelection()) {
            cursor.setPosition(event.key() == Qt::Key_Delete
                                   ? NextWordPosition(cursor.position())
                                   : PreviousWordPosition(cursor.position()),
                               QTextCursor::KeepAnchor);
        }
        cursor.removeSelectedText();
        break;
    default:
        return false;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

void CEditFontView::setCaretHidden(bool hidden) {
    if (hidden && cursorWidth() > 0) {
        m_caretWidth = cursorWidth();
        setCursorWidth(0);
    } else if (!hidden && cursorWidth() == 0) {
        setCursorWidth(m_caretWidth);
    }
}

void CEditFontView::keyPressEvent(QKeyEvent *event) {
    if (moveByWord(*event)) {
        event->accept();
        return;
    }
    if (!isEnterKey(*event)) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) {
        setCaretHidden(true);
    }
    const int revision = document()->revision();
    if ((event->modifiers() & Qt::ShiftModifier)
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // Shift+Enter would insert a line separator that looks like a line break but is saved
        // as a character inside the line: it breaks the line as Enter does.
        QKeyEvent enter(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), event->count());
        QPlainTextEdit::keyPressEvent(&enter);
    } else {
        QPlainTextEdit::keyPressEvent(event);
    }
    // Ctrl+Enter and Alt+Enter type nothing: their release has no new line to indent.
    if (document()->revision() != revision && textCursor().atBlockStart()) {
        m_lineBroken = true;
    }
}

void CEditFontView::keyReleaseEvent(QKeyEvent *event) {
    if (isEnterKey(*event) && !event->isAutoRepeat()) {
        if (m_lineBroken) {
            AutoIndent();
        }
        m_lineBroken = false;
        setCaretHidden(false);
    }
    QPlainTextEdit::keyReleaseEvent(event);
}

void CEditFontView::focusOutEvent(QFocusEvent *event) {
    // An Enter released in another window must not leave this one without its caret.
    m_lineBroken = false;
    setCaretHidden(false);
    QPlainTextEdit::focusOutEvent(event);
}

void CEditFontView::resizeEvent(QResizeEvent *event) {
    QPlainTextEdit::resizeEvent(event);
    SetTextMargins();
}

void CEditFontView::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        QPlainTextEdit::mouseDoubleClickEvent(event);
        return;
    }
    SelectWordAt(cursorForPosition(event->position().toPoint()).position());
    event->accept();
}
