#pragma once

#include <QString>
#include <QStringView>

// What the scanner makes of a declaration's head: the text before an opening brace, with its
// white space normalised. No parser: each rule looks for a few words and marks.
namespace model {

enum class TypeKind { None, Class, Enum, Record };

struct TypeHead {
    TypeKind kind = TypeKind::None;
    QString name;
    // A record's component list with its parentheses, "(int x, int y)"; empty otherwise.
    QString components;
};

// The type a head declares. A class or interface is found, as ever, by the plain text
// "class " or "interface " anywhere in it; an enum by the word enum before a space; a record by
// the word record before a name and its "(" or "<". The name ends at white space or at the "<"
// of its type parameters, so a generic class is named by its name.
TypeHead typeHeadOf(QStringView head);

// Where the first type keyword (class, interface, enum, record) of a head starts, or -1: a type
// head that runs over several lines is taken from that line on.
qsizetype typeKeywordIndex(QStringView head);

// Whether a head that is no type is an expression rather than a method: it holds the word new
// before its first "(", or its last statement (the text after its last ";") holds "->", or "="
// before its first "(". An anonymous class or a lambda opens such a brace; a field made with
// new before a static initialiser is no method either.
bool isExpressionHead(QStringView head);

// Whether a head among an enum's constants opens a constant's body: nothing but constants, each
// with its annotations, a name other than the enum's own and its arguments ("NANOSECONDS(1L)"),
// apart by commas. A method or constructor head has a type, a modifier or the enum's name.
bool isEnumConstantHead(QStringView head, QStringView enumName);

// Whether a head is the compact constructor of the named record: no "(", no "=", and the
// record's name as its last word.
bool isCompactConstructor(QStringView head, QStringView recordName);

} // namespace model
