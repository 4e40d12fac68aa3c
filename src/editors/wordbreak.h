#pragma once

#include <QChar>
#include <QStringView>

// Where words begin and end in the plain edit view: letters, digits and the underscore form
// words; white space and ASCII punctuation break them. Word selection on double-click and the
// word-wise caret moves both ask WordBreak, so they agree on what a word is.
namespace editors {

enum class WordBreakAction {
    Left,        // the start of the word to the left of a position
    Right,       // the end of the word at or to the right of a position
    IsDelimiter, // whether the character at a position breaks words
};

// White space (tab, LF, vertical tab, form feed, CR, space) and the ASCII punctuation marks
// except the underscore. Above code 127, white space and punctuation as Unicode classes them
// (the no-break space, guillemets, dashes, CJK punctuation) break words too, and so does the
// stand-in for a stray carriage return; letters, digits, marks and symbols do not.
bool isWordDelimiter(QChar character);

// The word-break rule over the first `length` characters of text (length <= text.size()):
//   Left:        going left from position-1 down to 0, the first delimiter at i gives i+1;
//                none gives 0.
//   Right:       going right from position up to length-1, the first delimiter at i gives i;
//                none gives length.
//   IsDelimiter: 1 when the character at position is a delimiter, else 0 (also for a position
//                outside the text).
int WordBreak(QStringView text, int position, int length, WordBreakAction action);

} // namespace editors
