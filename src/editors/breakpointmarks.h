#pragma once

#include "editors/lineanchor.h"

#include <QList>
#include <QObject>
#include <QTextCursor>

#include <functional>

class QTextDocument;

// The breakpoints of one source text, and the line the debugged program is stopped at when it
// is in this file. Each breakpoint keeps to its line as the text is edited, as the compiler's
// marks do: cursors at the start and the end of the line's text move with edits above it, and a
// line whose text is removed whole loses its breakpoint. The lines are written to the
// application's BreakpointStore under the file's path at every change, and read from it when
// the file's text has been read.
class BreakpointMarks : public QObject {
    Q_OBJECT

public:
    BreakpointMarks(QTextDocument *document, std::function<QString()> path);
    ~BreakpointMarks() override;

    // Takes the file's breakpoints from the store (lines past the end are dropped).
    void load();
    // Lets go of the breakpoints without storing anything: the text is about to be replaced
    // by the file's, and load() takes them again.
    void forget();
    // The lines with breakpoints (0-based), ascending.
    QList<int> lines() const;
    bool isEmpty() const { return m_marks.isEmpty(); }
    bool has(int line) const { return lines().contains(line); }
    // Sets a breakpoint on the line (0-based) or clears the one there; true when one is set now.
    bool toggle(int line);

    // The line the program is stopped at (0-based), or -1.
    int executionLine() const;
    void setExecutionLine(int line);

Q_SIGNALS:
    // Breakpoints were set, cleared or moved, or the execution line changed.
    void changed();

private:
    LineAnchor markAt(int line) const;
    void setLines(const QList<int> &lines);
    // After an edit: drops the breakpoints whose lines went, and stores the lines when they moved.
    void follow();
    void store();

    QTextDocument *m_document;
    std::function<QString()> m_path;
    QList<LineAnchor> m_marks;
    QList<int> m_storedLines; // 0-based, as last stored
    QTextCursor m_execution;  // null when the program is not stopped here
};
