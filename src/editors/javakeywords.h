#pragma once

#include <QStringList>
#include <QStringView>

// The words the colouring passes show as keywords besides the original keyword table: the
// reserved words that later Java versions added, and the contextual words that are keywords
// only in certain places. A colouring pass looks at one line at a time, so the places are told
// by simple rules on the word's own line:
//
// - record: before a type name and its "(" or "<" (record Point(int x, int y));
// - sealed and non-sealed: before class, interface or another modifier;
// - permits: first word of a line, or after class or interface on its line;
// - yield: at a statement start (line start, ";", "{", "}", ":" or "->" before it) and before
//   an expression;
// - when: after case on its line, before a space;
// - module, open, requires, transitive, exports, opens, to, uses, provides, with: the words of
//   a module declaration, when the line starts with such a directive.
//
// var is in the original table and is always a keyword.
namespace editors {

// Reserved words that the original table lacks: enum, assert, strictfp.
const QStringList &addedKeywordList();

// Whether a word is one of the contextual words (only then contextualKeywordLength can give
// anything but 0).
bool isContextualWord(QStringView word);

// The word of identifier characters from..to in the text, with nothing of the kind on either
// side: the length of the keyword that starts at from (0 for none). A reserved word is a
// keyword as a whole, a contextual word where its line makes it one.
qsizetype keywordLength(QStringView text, qsizetype from, qsizetype to);

// The word of identifier characters from..to in the text is a contextual word: the length of
// the keyword that starts at from as its line shows it (10 for non-sealed, which starts with
// the word non), or 0 where the word is an ordinary name.
qsizetype contextualKeywordLength(QStringView text, qsizetype from, qsizetype to);

} // namespace editors
