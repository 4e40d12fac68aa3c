#include "editors/longlines.h"

#include "framework/texteditcommands.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace editors {

namespace {

// The text shown for text, and the hidden ends with the places they stand at in it.
struct ShortenedText {
    QString shown;
    std::vector<std::pair<qsizetype, QString>> hidden;
};

// Whether any line of text is longer than shown.
bool hasLongLine(const QString &text) {
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) {
            end = text.size();
        }
        if (end - start > LongLines::kLongestShownLine) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

ShortenedText shorten(const QString &text) {
    ShortenedText result;
    result.shown.reserve(text.size());
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) {
            end = text.size();
        }
        const QStringView line = QStringView(text).sliced(start, end - start);
        if (line.size() > LongLines::kLongestShownLine) {
            result.shown += line.first(LongLines::kLongestShownLine);
            result.hidden.emplace_back(result.shown.size(),
                                       line.sliced(LongLines::kLongestShownLine).toString());
        } else {
            result.shown += line;
        }
        if (end < text.size()) {
            result.shown += u'\n';
        }
        start = end + 1;
    }
    return result;
}

QString noteText(qsizetype hidden) {
    return QStringLiteral("  \u2026 %1 more characters (double-click to show the whole line)")
        .arg(hidden);
}

// The place of the note after a block's shown text, in viewport coordinates.
QRectF noteRect(const QPlainTextEdit &view, const QTextBlock &block, qsizetype hidden) {
    QTextCursor end(block);
    end.movePosition(QTextCursor::EndOfBlock);
    const QRect caret = view.cursorRect(end);
    const qreal width = view.fontMetrics().horizontalAdvance(noteText(hidden));
    return {qreal(caret.right() + 1), qreal(caret.top()), width, qreal(caret.height())};
}

// Shows a line whose note is double-clicked whole.
class NoteClicks : public QObject {
public:
    explicit NoteClicks(QPlainTextEdit &view)
        : QObject(&view)
        , m_view(view) {
        view.viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::MouseButtonDblClick) {
            return QObject::eventFilter(watched, event);
        }
        const LongLines *lines = LongLines::find(*m_view.document());
        if (!lines || !lines->hasHiddenEnds()) {
            return false;
        }
        const QPointF point = static_cast<QMouseEvent *>(event)->position();
        QTextBlock clicked;
        fw::forEachShownBlock(m_view, [&](const QTextBlock &block) {
            const qsizetype hidden = lines->hiddenLengthAt(block);
            if (hidden > 0 && noteRect(m_view, block, hidden).contains(point)) {
                clicked = block;
            }
        });
        if (!clicked.isValid()) {
            return false;
        }
        LongLines::of(*m_view.document()).showWholeLine(clicked);
        return true;
    }

private:
    QPlainTextEdit &m_view;
};

} // namespace

LongLines::LongLines(QTextDocument &document)
    : QObject(&document)
    , m_document(document) {
    connect(&document, &QTextDocument::contentsChange, this, &LongLines::followChange);
}

LongLines &LongLines::of(QTextDocument &document) {
    if (auto *lines = document.findChild<LongLines *>(QString(), Qt::FindDirectChildrenOnly)) {
        return *lines;
    }
    return *new LongLines(document);
}

const LongLines *LongLines::find(const QTextDocument &document) {
    return document.findChild<const LongLines *>(QString(), Qt::FindDirectChildrenOnly);
}

void LongLines::setText(const QString &text) {
    m_hidden.clear();
    m_removed.clear();
    ShortenedText shortened = hasLongLine(text) ? shorten(text) : ShortenedText{text, {}};
    m_settingText = true;
    m_document.setPlainText(shortened.shown);
    m_settingText = false;
    for (auto &[position, characters] : shortened.hidden) {
        QTextCursor anchor(&m_document);
        anchor.setPosition(int(position));
        m_hidden.push_back({anchor, std::move(characters), int(position)});
    }
}

void LongLines::followChange(int position, int removed, int added) {
    if (m_settingText) {
        return;
    }
    // A change that undoes one that removed hidden ends brings them back where they stood.
    for (auto entry = m_removed.begin(); entry != m_removed.end();) {
        // (What was typed after it may be undone with it: only the text put back must match.)
        if (entry->position == position && entry->removed == added) {
            entry->end.anchor.setPosition(entry->end.lastPosition);
            m_hidden.push_back(std::move(entry->end));
            entry = m_removed.erase(entry);
        } else {
            ++entry;
        }
    }
    // A hidden end with removed text on both sides of it went with that text.
    for (auto end = m_hidden.begin(); end != m_hidden.end();) {
        const bool inside = end->lastPosition > position && end->lastPosition < position + removed;
        // At the end of the text nothing follows the hidden end: a removal up to there takes it.
        const bool atTextEnd = end->lastPosition > position
                               && end->lastPosition == position + removed
                               && position + added == m_document.characterCount() - 1;
        if (removed > 0 && (inside || atTextEnd)) {
            m_removed.push_back({std::move(*end), position, removed});
            end = m_hidden.erase(end);
        } else {
            ++end;
        }
    }
    for (HiddenEnd &end : m_hidden) {
        end.lastPosition = end.anchor.position();
    }
    sortByPlace();
}

void LongLines::sortByPlace() {
    std::stable_sort(m_hidden.begin(), m_hidden.end(), [](const HiddenEnd &a, const HiddenEnd &b) {
        return a.lastPosition < b.lastPosition;
    });
}

qsizetype LongLines::hiddenLengthAt(const QTextBlock &block) const {
    const int from = block.position();
    const int to = from + block.length() - 1;
    qsizetype length = 0;
    for (const HiddenEnd &end : m_hidden) {
        const int at = end.anchor.position();
        if (at >= from && at <= to) {
            length += end.characters.size();
        }
    }
    return length;
}

void LongLines::showWholeLine(const QTextBlock &block) {
    const int from = block.position();
    const int to = from + block.length() - 1;
    const auto inBlock = [&](const HiddenEnd &end) {
        const int at = end.anchor.position();
        return at >= from && at <= to;
    };
    if (std::none_of(m_hidden.begin(), m_hidden.end(), inBlock)) {
        return;
    }
    const bool modified = m_document.isModified();
    m_document.setUndoRedoEnabled(false);
    // From the last to the first, so that each insertion leaves the places before it alone.
    for (auto end = m_hidden.rbegin(); end != m_hidden.rend(); ++end) {
        if (inBlock(*end)) {
            QTextCursor insertion = end->anchor;
            insertion.insertText(end->characters);
        }
    }
    m_hidden.erase(std::remove_if(m_hidden.begin(), m_hidden.end(), inBlock), m_hidden.end());
    // The history is gone: no undo can bring a removed end back.
    m_removed.clear();
    m_document.setUndoRedoEnabled(true);
    m_document.setModified(modified);
}

QString LongLines::wholeText() const {
    QString text = m_document.toRawText();
    // From the last to the first, so that each insertion leaves the places before it alone.
    for (auto end = m_hidden.rbegin(); end != m_hidden.rend(); ++end) {
        text.insert(end->anchor.position(), end->characters);
    }
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

QString LongLines::wholeTextBetween(int from, int to) const {
    QString text = m_document.toRawText().mid(from, to - from);
    for (auto end = m_hidden.rbegin(); end != m_hidden.rend(); ++end) {
        const int at = end->anchor.position();
        if (at > from && at < to) {
            text.insert(at - from, end->characters);
        }
    }
    return text;
}

QString wholeText(const QTextDocument &document) {
    if (const LongLines *lines = LongLines::find(document); lines && lines->hasHiddenEnds()) {
        return lines->wholeText();
    }
    // toRawText keeps every character as typed (toPlainText would turn no-break spaces into
    // spaces); only the block separators become line breaks.
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

QString shownTextOf(const QString &text) {
    return hasLongLine(text) ? shorten(text).shown : text;
}

void setShortenedText(QTextDocument &document, const QString &text) {
    if (LongLines::find(document) || hasLongLine(text)) {
        LongLines::of(document).setText(text);
    } else {
        document.setPlainText(text);
    }
}

void paintHiddenEndNotes(QPlainTextEdit &view) {
    const LongLines *lines = LongLines::find(*view.document());
    if (!lines || !lines->hasHiddenEnds()) {
        return;
    }
    QPainter painter(view.viewport());
    painter.setPen(view.palette().color(QPalette::Disabled, QPalette::Text));
    fw::forEachShownBlock(view, [&](const QTextBlock &block) {
        if (const qsizetype hidden = lines->hiddenLengthAt(block); hidden > 0) {
            painter.drawText(noteRect(view, block, hidden), Qt::AlignLeft | Qt::AlignVCenter,
                             noteText(hidden));
        }
    });
}

void showWholeLinesOnDoubleClick(QPlainTextEdit &view) {
    new NoteClicks(view);
}

} // namespace editors
