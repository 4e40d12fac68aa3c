#pragma once

class QPlainTextEdit;

// A jump to a line (from a compiler message, F4 or Go to Line) leaves the caret on the line, at
// the column the compiler points to or at the line's first character that is not a blank, with
// nothing selected, so that the next key typed inserts instead of replacing the line. The line
// is highlighted until the caret leaves it, and it is scrolled to a place where no floating
// window of the main window (the output window) covers it.
namespace editors {

// The column of a jump that has none of its own: the first character that is not a blank.
inline constexpr int kFirstNonBlank = -1;

// Jumps to a 0-based line (the nearest line there is when outside the text) at a 0-based
// column (clamped to the line's end), or at its first non-blank for kFirstNonBlank.
void jumpToLine(QPlainTextEdit &editor, int line, int column = kFirstNonBlank);

// Whether the editor shows the highlight of a jump, and on which 0-based line (-1 for none).
int highlightedJumpLine(const QPlainTextEdit &editor);
// Takes the highlight off the line, when that line is the one highlighted.
void clearJumpHighlight(QPlainTextEdit &editor, int line);

} // namespace editors
