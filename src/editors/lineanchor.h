#pragma once

#include <QTextBlock>
#include <QTextCursor>

// A line of a text that moves with the edits around it: cursors at the line's start and end.
// The line is gone once its text has been removed whole; a line that was empty to begin with
// stays until its line break goes.
struct LineAnchor {
    QTextCursor start;
    QTextCursor end;
    bool emptyLine = false;

    static LineAnchor at(const QTextBlock &block) {
        LineAnchor anchor{QTextCursor(block), QTextCursor(block), block.length() <= 1};
        anchor.end.movePosition(QTextCursor::EndOfBlock);
        return anchor;
    }
    bool isGone() const { return !emptyLine && start.position() == end.position(); }
    // The line's 0-based number now.
    int line() const { return start.blockNumber(); }
};
