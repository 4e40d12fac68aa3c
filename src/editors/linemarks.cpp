#include "editors/linemarks.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

LineMarks::LineMarks(QTextDocument *document)
    : m_document(document) {
    // Cursors move with the text before the change is told, so the marks can be looked at then.
    connect(document, &QTextDocument::contentsChange, this, &LineMarks::dropGoneMarks);
}

LineMarks::~LineMarks() = default;

void LineMarks::setMarks(const QList<jdk::CompilerMark> &marks) {
    m_marks.clear();
    const int lastLine = m_document->blockCount() - 1;
    for (const jdk::CompilerMark &mark : marks) {
        if (mark.kind == CompilerMessageKind::None) {
            continue;
        }
        const QTextBlock block =
            m_document->findBlockByNumber(std::clamp(mark.line - 1, 0, lastLine));
        m_marks.append({LineAnchor::at(block), mark.kind, mark.text});
    }
    emit changed();
}

void LineMarks::clear() {
    if (m_marks.isEmpty()) {
        return;
    }
    m_marks.clear();
    emit changed();
}

bool LineMarks::isEmpty() const {
    return std::all_of(m_marks.cbegin(), m_marks.cend(), &LineMarks::isGone);
}

QMap<int, LineMarks::MarkedLine> LineMarks::markedLines() const {
    QMap<int, MarkedLine> lines;
    QMap<int, QStringList> warnings;
    for (const Mark &mark : m_marks) {
        if (isGone(mark)) {
            continue;
        }
        const int line = mark.anchor.line();
        MarkedLine &marked = lines[line];
        if (mark.kind == CompilerMessageKind::Error) {
            marked.kind = CompilerMessageKind::Error;
            marked.messages.append(mark.text);
        } else {
            warnings[line].append(mark.text);
        }
    }
    for (auto warning = warnings.cbegin(); warning != warnings.cend(); ++warning) {
        lines[warning.key()].messages.append(warning.value());
    }
    return lines;
}

bool LineMarks::isGone(const Mark &mark) {
    return mark.anchor.isGone();
}

void LineMarks::dropGoneMarks() {
    const qsizetype before = m_marks.size();
    m_marks.removeIf(&LineMarks::isGone);
    if (m_marks.size() != before) {
        emit changed();
    }
}
