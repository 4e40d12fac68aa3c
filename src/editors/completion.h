#pragma once

#include "javaservice/javaserviceclient.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The parts of code completion that need no window: how typed text picks entries from a list,
// what an entry inserts, and the entries offered when no compiler is at hand.
namespace editors {

using javaservice::CompletionItem;

// How a typed pattern finds a name, best first. The name begins with the pattern exactly, or
// whatever the case; or the pattern's humps begin the name's humps in order ("sB" finds
// StringBuilder, "NPE" NullPointerException). A pattern's hump starts at each of its capitals
// after the first character; a name's at its first character, at a capital after a small letter
// or digit, at the last capital of a run that a small letter follows (URLConnection: URL,
// Connection) and after an underscore or a dollar. The Java service filters classes by the same
// rule.
enum class NameMatch { None, Humps, PrefixIgnoringCase, Prefix };
NameMatch matchName(QStringView pattern, QStringView name);

// The entries the pattern asks for, as indices into items: the exact prefixes first, then those
// that differ in case, then the hump matches, each group in the items' order. An empty pattern
// takes every entry.
QList<int> filterCompletions(const QList<CompletionItem> &items, QStringView pattern);

bool isIdentifierCharacter(QChar character);
// Where the identifier that ends at position starts.
int identifierStart(QStringView text, int position);

// What an entry puts in place of the typed prefix, and where the caret goes in it: a method
// takes its parentheses, the caret between them when it has parameters and after them when
// not, unless the text after the caret opens them already.
struct CompletionInsertion {
    QString text;
    int caretInText = 0;
};
CompletionInsertion insertionFor(const CompletionItem &item, QStringView textAfterCaret);

// An entry as its list row names it: "substring(int, int)", "count", "ArrayList".
QString completionLabel(const CompletionItem &item);

// The entries offered without the Java service: the classes and methods the scanner found,
// given as its entries ("Foo", "Foo.paint(Graphics g)", "Foo.Inner.run()"), then the words of
// the texts (identifiers of three characters or more), each name once, sorted by name in each
// group, without the word being typed itself.
QList<CompletionItem> scannedCompletions(const QStringList &scannerEntries,
                                         const QList<QStringView> &texts, QStringView typedWord);

} // namespace editors
