#pragma once

#include <QFont>
#include <QString>
#include <QStringView>

#include <optional>

class QPlainTextEdit;

// The editing operations the source windows and the plain edit views share: indenting and
// outdenting whole lines, repeating the indentation of the line above, and the view font with
// its tab stops. Each edit of the text is one undo step.
namespace editors {

// Which line the end of a selection falls in when the end is the first character of a line.
enum class SelectionEndLine {
    // The line of the character before the end: that line is left out (source windows).
    CharacterBeforeEnd,
    // The line of the end itself: that line counts (plain edit views).
    EndPosition,
};

// Puts one tab in front of each line from the selection start's to the selection end's (by the
// rule; an empty selection is the caret's own line), then selects those lines from the start of
// the first: to the end of the last, or with `withLastBreak` to the start of the line after it
// (the end of the last when there is none).
void indentSelectedLines(QPlainTextEdit &editor, SelectionEndLine rule, bool withLastBreak);
// Takes one tab stop of indentation from each of those lines (see outdentWidth), then selects
// them to the end of the last.
void outdentSelectedLines(QPlainTextEdit &editor, SelectionEndLine rule);
// How many leading characters Decrease Indent takes from a line: a leading tab, or up to one tab
// stop (four) of leading spaces; 0 for a line that begins with neither.
qsizetype outdentWidth(QStringView line);

// The indentation a line passes on to a new line below it: its leading tabs, then its leading
// spaces, counted in at most its first 1024 characters. Mixed indentation comes out tabs first.
QString passedOnIndentation(QStringView line);
// Inserts at the caret the indentation of the line above the caret's line. It joins the edit
// before it, so that one undo takes it away with the line break that made the new line.
void repeatIndentationOfLineAbove(QPlainTextEdit &editor);

// Shows the editor's text in the font, with a tab stop every four characters of it.
void setViewFont(QPlainTextEdit &editor, const QFont &font);
// The source font the settings hold (face, and size in tenths of a point): what every new source
// and HTML window starts in.
QFont storedSourceFont();
// Asks the user for a font, starting from `current`. On OK the choice becomes the stored source
// font (face and size in tenths of a point, saved at once) and is returned.
std::optional<QFont> chooseSourceFont(const QFont &current);

} // namespace editors
