#include "tools/outputplacer.h"

#include "tools/outputtext.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// Placing costs a few microseconds per line and about a millisecond per 16 K characters of
// ordinary lines: the slice follows the cost seen, aiming at a few milliseconds a slice.
constexpr qsizetype kLargestSlice = 64 * 1024;
constexpr qsizetype kSmallestSlice = 256;
constexpr qsizetype kFirstSlice = 4 * 1024;
constexpr qint64 kSliceTargetNs = 4'000'000;

QTextCursor cursorAtBlock(QTextDocument &document, qint64 block) {
    return QTextCursor(document.findBlockByNumber(int(block)));
}

} // namespace

OutputPlacer::OutputPlacer()
    : m_slice(kFirstSlice) {}

void OutputPlacer::restart(QPlainTextEdit &edit) {
    edit.clear();
    m_line = 0;
    m_chars = 0;
    m_editTailFirst = 0;
    m_markerCount = 0;
}

bool OutputPlacer::isCaughtUp(const OutputText &text) const {
    const qint64 lines = text.lineCount();
    if (m_line < text.tailFirst() && m_line >= text.headLineCount() && text.leftOutLines() > 0) {
        return false; // the marker and the tail are still to come
    }
    if (m_markerCount != text.leftOutLines() && m_line >= text.headLineCount()
        && text.isHeadClosed()) {
        return false;
    }
    if (m_line >= lines) {
        return true;
    }
    return m_line == lines - 1 && text.isLastLineOpen() && m_chars == text.line(m_line).size();
}

bool OutputPlacer::place(const OutputText &text, QPlainTextEdit &edit, const QElapsedTimer &clock,
                         qint64 budgetMs) {
    bool placed = false;
    while (!isCaughtUp(text) && (!placed || clock.elapsed() < budgetMs)) {
        followTail(text, edit);
        placeSlice(text, edit);
        placed = true;
    }
    if (placed) {
        edit.moveCursor(QTextCursor::End);
        edit.ensureCursorVisible();
    }
    return placed;
}

void OutputPlacer::followTail(const OutputText &text, QPlainTextEdit &edit) {
    const qint64 head = text.headLineCount();
    if (m_line < head || !text.isHeadClosed()) {
        return; // the edit is still in the head
    }
    QTextDocument &document = *edit.document();
    m_editTailFirst = std::max(m_editTailFirst, head);
    const qint64 firstTailBlock = head + (m_markerCount > 0 ? 1 : 0);
    if (text.tailFirst() > m_editTailFirst) {
        QTextCursor removal = cursorAtBlock(document, firstTailBlock);
        if (m_line < text.tailFirst()) {
            // Every tail line the edit shows is gone, the one in progress too.
            removal.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            m_line = text.tailFirst();
            m_chars = 0;
        } else {
            const QTextBlock keptFirst = document.findBlockByNumber(
                int(firstTailBlock + text.tailFirst() - m_editTailFirst));
            removal.setPosition(keptFirst.position(), QTextCursor::KeepAnchor);
        }
        removal.removeSelectedText();
        m_editTailFirst = text.tailFirst();
    }
    if (m_markerCount != text.leftOutLines()) {
        QTextCursor marker = cursorAtBlock(document, head);
        if (m_markerCount == 0) {
            marker.insertText(text.markerText() + u'\n');
        } else {
            marker.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            marker.insertText(text.markerText());
        }
        m_markerCount = text.leftOutLines();
    }
    if (m_line < text.tailFirst()) {
        m_line = text.tailFirst();
        m_chars = 0;
    }
}

void OutputPlacer::placeSlice(const OutputText &text, QPlainTextEdit &edit) {
    QElapsedTimer sliceClock;
    sliceClock.start();
    // A slice ends at the end of the head, where the marker line may have to come first.
    const qint64 stop = m_line < text.headLineCount() && text.isHeadClosed() ? text.headLineCount()
                                                                             : text.lineCount();
    QString slice;
    while (m_line < stop && slice.size() < m_slice) {
        const QString &line = text.line(m_line);
        const qsizetype count = std::min(line.size() - m_chars, m_slice - slice.size());
        slice += QStringView(line).sliced(m_chars, count);
        m_chars += count;
        const bool lineEnded = m_line < text.lineCount() - 1 || !text.isLastLineOpen();
        if (m_chars < line.size() || !lineEnded) {
            break;
        }
        slice += u'\n';
        ++m_line;
        m_chars = 0;
    }
    if (slice.isEmpty()) {
        return;
    }
    QTextCursor cursor(edit.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(slice);
    const qint64 took = std::max<qint64>(sliceClock.nsecsElapsed(), 1);
    const qsizetype fitting = qsizetype(qint64(m_slice) * kSliceTargetNs / took);
    m_slice = std::clamp(std::min(fitting, 2 * m_slice), kSmallestSlice, kLargestSlice);
}
