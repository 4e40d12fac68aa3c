#pragma once

#include "editors/colourclass.h"

#include <QStringList>
#include <QStringView>

#include <span>
#include <vector>

// The colouring passes of the source window as pure functions. Every text they take counts a
// line break as the two characters CR LF (see toCrLfText in sourcetext.h), and every offset they
// take or give is an index into such a text. The classes come back one per character, in a
// vector as long as the text; the view turns them into runs and applies those.
namespace editors {

using ColourClasses = std::vector<ColourClass>;

// The characters a keyword must not touch on either side: the 52 ASCII letters and the
// underscore. Digits are not among them, so "int2" holds the keyword int.
inline constexpr QStringView identifierChars{
    u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_"};

// Inline: the keyword pass asks it of every character of the text.
inline bool isIdentifierChar(QChar character) {
    const char16_t unit = character.unicode();
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') || unit == u'_';
}

// The keywords in table order, matched case-sensitively: 60 entries. The list holds "instanceOf"
// as it always has, and the real Java keyword "instanceof" right after it. The words of later
// Java versions are in javakeywords.h.
const QStringList &keywordList();

// The classes of a whole text: keywords, then strings, then line comments, then block comments,
// each later step overriding the earlier ones. A character literal is one unit ('"' opens no
// string), a string's escapes are read in pairs, and a text block (three quotes ending their
// line, up to the three quotes that close it) is one string over several lines. A string or
// comment that runs to the end of the text is coloured to its last character.
ColourClasses classifyWholeText(QStringView text);

// The classes of one line, given without its line break. `open` tells whether a block comment
// stands open at the start of the line (IsInBlockComment at the line's first offset),
// `inTextBlock` whether a text block does (IsInTextBlock). Unlike the whole-text pass, an
// unterminated string runs to the end of the line.
ColourClasses classifyLine(QStringView line, bool open, bool inTextBlock = false);

// Whether a text block stands open at the end of a line (given without its line break) that
// starts inside one or not. Only a line holding three quotes can change it.
bool textBlockOpenAfterLine(QStringView line, bool inTextBlock);

// Whether a text block stands open at the start of the line that starts at lineStart in a CR LF
// text: textBlockOpenAfterLine over the lines above it, from the first line on.
bool IsInTextBlock(QStringView text, qsizetype lineStart);

// The last block-comment delimiter that starts in a text.
enum class CommentMarker { None, Open, Close };

// Which delimiter, "/*" or "*/", starts last in the text; where two overlap ("/*/", "*/*") the
// one that starts later wins. Scans backwards and stops at the first delimiter it meets.
// Delimiters never span a line break, so a caller can apply this to lines one after the other,
// walking back from a line, instead of to one long prefix.
CommentMarker lastCommentMarker(QStringView text);

// Whether a block comment stands open just before `offset`: the text before it holds a "/*"
// that no later "*/" closes. Strings and line comments are not considered. Costs time in
// proportion to the distance back to the nearest delimiter, not to the offset. An offset
// beyond the text counts as its end, a negative one as 0. Because the delimiters hold neither
// CR nor LF, the editor text at the matching editor position gives the same answer.
bool IsInBlockComment(QStringView text, qsizetype offset);

// A maximal stretch of characters of one class: the characters from .. to-1.
struct ColourRun {
    qsizetype from = 0;
    qsizetype to = 0;
    ColourClass colourClass = ColourClass::Normal;

    friend bool operator==(const ColourRun &, const ColourRun &) = default;
};

// The runs of the classes in text order, each as long as it can be; none for an empty text.
std::vector<ColourRun> colourRuns(std::span<const ColourClass> classes);

} // namespace editors
