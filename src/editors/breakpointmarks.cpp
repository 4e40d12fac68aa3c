#include "editors/breakpointmarks.h"

#include "editors/breakpointstore.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

// How far below a line without code a breakpoint looks for code to go to.
constexpr int kCodeSearchLines = 10;

} // namespace

BreakpointMarks::BreakpointMarks(QTextDocument *document, std::function<QString()> path)
    : m_document(document)
    , m_path(std::move(path)) {
    connect(document, &QTextDocument::contentsChanged, this, &BreakpointMarks::follow);
}

BreakpointMarks::~BreakpointMarks() = default;

LineAnchor BreakpointMarks::markAt(int line) const {
    return LineAnchor::at(m_document->findBlockByNumber(line));
}

void BreakpointMarks::load() {
    const QString path = m_path();
    QList<int> lines;
    if (!path.isEmpty()) {
        for (const int line : BreakpointStore::instance().lines(path)) {
            if (line <= m_document->blockCount()) {
                lines << line - 1;
            }
        }
    }
    setLines(lines);
    m_storedLines = this->lines();
    emit changed();
}

void BreakpointMarks::forget() {
    m_marks.clear();
    m_execution = QTextCursor();
}

QList<int> BreakpointMarks::lines() const {
    QList<int> lines;
    for (const LineAnchor &mark : m_marks) {
        lines << mark.line();
    }
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

void BreakpointMarks::setLines(const QList<int> &lines) {
    m_marks.clear();
    for (const int line : lines) {
        m_marks.append(markAt(line));
    }
}

bool BreakpointMarks::toggle(int line) {
    if (line < 0 || line >= m_document->blockCount()) {
        return false;
    }
    // A line without code would never stop the program: the breakpoint goes to the first line
    // below it that has some, nearby, or stays where asked when there is none. One already on
    // such a line is cleared where it is.
    for (int below = line;
         !has(line) && below < std::min(line + kCodeSearchLines, m_document->blockCount());
         ++below) {
        if (!BreakpointStore::holdsNoCode(m_document->findBlockByNumber(below).text())) {
            line = below;
            break;
        }
    }
    QList<int> now = lines();
    const bool set = !now.contains(line);
    if (set) {
        now.append(line);
    } else {
        now.removeAll(line);
    }
    setLines(now);
    store();
    emit changed();
    return set;
}

int BreakpointMarks::executionLine() const {
    return m_execution.isNull() ? -1 : m_execution.blockNumber();
}

void BreakpointMarks::setExecutionLine(int line) {
    if (line < 0 || line >= m_document->blockCount()) {
        if (m_execution.isNull()) {
            return;
        }
        m_execution = QTextCursor();
    } else {
        m_execution = QTextCursor(m_document->findBlockByNumber(line));
    }
    emit changed();
}

void BreakpointMarks::follow() {
    if (m_marks.isEmpty()) {
        return;
    }
    const qsizetype before = m_marks.size();
    m_marks.removeIf([](const LineAnchor &mark) { return mark.isGone(); });
    // A line broken in two keeps its breakpoint on the part that holds the line's start.
    for (LineAnchor &mark : m_marks) {
        if (mark.start.block() != mark.end.block()) {
            mark = markAt(mark.line());
        }
    }
    if (m_marks.size() != before || lines() != m_storedLines) {
        store();
        emit changed();
    }
}

void BreakpointMarks::store() {
    m_storedLines = lines();
    const QString path = m_path();
    if (path.isEmpty()) {
        return;
    }
    QList<int> oneBased;
    for (const int line : std::as_const(m_storedLines)) {
        oneBased << line + 1;
    }
    BreakpointStore::instance().setLines(path, oneBased);
}
