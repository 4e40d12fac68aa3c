#include "model/javaheads.h"

#include <algorithm>
#include <initializer_list>

namespace model {

namespace {

// Characters that end a type's name: white space, and the "<" of type parameters.
constexpr QStringView kNameEnd = u"\r\t\n <";

bool isNameChar(QChar character) {
    return character.isLetterOrNumber() || character == u'_' || character == u'$';
}

// Whether the text holds needle at position.
bool holdsAt(QStringView text, qsizetype position, QStringView needle) {
    return position + needle.size() <= text.size()
           && std::equal(needle.utf16(), needle.utf16() + needle.size(), text.utf16() + position);
}

// Whether a word may start at position: no name character before it.
bool startsWord(QStringView text, qsizetype position) {
    return position == 0 || !isNameChar(text[position - 1]);
}

qsizetype nameEnd(QStringView text, qsizetype start) {
    qsizetype end = start;
    while (end < text.size() && !kNameEnd.contains(text[end])) {
        ++end;
    }
    return end;
}

qsizetype skipSpaces(QStringView text, qsizetype position) {
    while (position < text.size() && text[position].isSpace()) {
        ++position;
    }
    return position;
}

// The index of the bracket that closes the one at open, counting nested ones; -1 if none.
qsizetype matchingBracket(QStringView text, qsizetype open, QChar opening, QChar closing) {
    int depth = 0;
    for (qsizetype index = open; index < text.size(); ++index) {
        if (text[index] == opening) {
            ++depth;
        } else if (text[index] == closing && --depth == 0) {
            return index;
        }
    }
    return -1;
}

// A record head from the word record at `at`: its name and component list, or nothing.
TypeHead recordHead(QStringView head, qsizetype at) {
    const qsizetype nameStart = skipSpaces(head, at + 6);
    qsizetype end = nameStart;
    while (end < head.size() && isNameChar(head[end])) {
        ++end;
    }
    if (end == nameStart) {
        return {};
    }
    qsizetype open = skipSpaces(head, end);
    if (open < head.size() && head[open] == u'<') {
        const qsizetype closed = matchingBracket(head, open, u'<', u'>');
        open = closed < 0 ? -1 : skipSpaces(head, closed + 1);
    }
    if (open < 0 || open >= head.size() || head[open] != u'(') {
        return {};
    }
    const qsizetype close = matchingBracket(head, open, u'(', u')');
    const QStringView components =
        close < 0 ? head.sliced(open) : head.sliced(open, close + 1 - open);
    return {TypeKind::Record, head.sliced(nameStart, end - nameStart).toString(),
            components.toString()};
}

// Where each type keyword first stands in a head, found in one walk over it (heads are short,
// and most are methods that hold none).
struct TypeKeywords {
    qsizetype classAt = -1;
    qsizetype interfaceAt = -1;
    qsizetype enumAt = -1;
    qsizetype recordAt = -1;

    explicit TypeKeywords(QStringView head) {
        for (qsizetype at = 0; at < head.size(); ++at) {
            switch (head[at].unicode()) {
            case u'c':
                if (classAt < 0 && holdsAt(head, at, u"class ")) {
                    classAt = at;
                }
                break;
            case u'i':
                if (interfaceAt < 0 && holdsAt(head, at, u"interface ")) {
                    interfaceAt = at;
                }
                break;
            case u'e':
                if (enumAt < 0 && startsWord(head, at) && holdsAt(head, at, u"enum ")) {
                    enumAt = at;
                }
                break;
            case u'r':
                if (recordAt < 0 && startsWord(head, at) && holdsAt(head, at, u"record ")
                    && recordHead(head, at).kind == TypeKind::Record) {
                    recordAt = at;
                }
                break;
            default:
                break;
            }
        }
    }
};

} // namespace

TypeHead typeHeadOf(QStringView head) {
    const TypeKeywords keywords(head);
    // A plain substring test for class and interface: "subclass x" holds "class " too.
    qsizetype keyword = keywords.classAt >= 0 ? keywords.classAt : keywords.interfaceAt;
    TypeKind kind = TypeKind::Class;
    if (keyword < 0) {
        keyword = keywords.enumAt;
        kind = TypeKind::Enum;
    }
    if (keyword < 0) {
        return keywords.recordAt < 0 ? TypeHead{} : recordHead(head, keywords.recordAt);
    }
    const qsizetype nameStart = head.indexOf(u' ', keyword) + 1;
    return {kind, head.sliced(nameStart, nameEnd(head, nameStart) - nameStart).toString(), {}};
}

qsizetype typeKeywordIndex(QStringView head) {
    const TypeKeywords keywords(head);
    qsizetype first = -1;
    for (const qsizetype found :
         {keywords.classAt, keywords.interfaceAt, keywords.enumAt, keywords.recordAt}) {
        if (found >= 0 && (first < 0 || found < first)) {
            first = found;
        }
    }
    return first;
}

bool isExpressionHead(QStringView head) {
    // The word new before the first "(" makes any head an expression, also when a ";" follows
    // (a field made with new, then a static initialiser's brace). Otherwise the last statement
    // decides: a "->" in it, or a "=" before its first "(".
    bool parenSeen = false;
    bool newBeforeParen = false;
    bool parenInStatement = false;
    bool arrowInStatement = false;
    bool equalsBeforeParen = false;
    for (qsizetype at = 0; at < head.size(); ++at) {
        switch (head[at].unicode()) {
        case u'(':
            parenSeen = true;
            parenInStatement = true;
            break;
        case u';':
            parenInStatement = false;
            arrowInStatement = false;
            equalsBeforeParen = false;
            break;
        case u'-':
            arrowInStatement = arrowInStatement || holdsAt(head, at, u"->");
            break;
        case u'=':
            equalsBeforeParen = equalsBeforeParen || !parenInStatement;
            break;
        case u'n':
            newBeforeParen = newBeforeParen
                             || (!parenSeen && startsWord(head, at) && holdsAt(head, at, u"new "));
            break;
        default:
            break;
        }
    }
    return newBeforeParen || arrowInStatement || equalsBeforeParen;
}

bool isEnumConstantHead(QStringView head, QStringView enumName) {
    qsizetype at = 0;
    const auto skipBlanks = [&] {
        while (at < head.size() && (head[at].isSpace() || head[at] == u',')) {
            ++at;
        }
    };
    const auto name = [&] {
        const qsizetype start = at;
        while (at < head.size() && isNameChar(head[at])) {
            ++at;
        }
        return head.sliced(start, at - start);
    };
    const auto arguments = [&] {
        if (at < head.size() && head[at] == u'(') {
            const qsizetype close = matchingBracket(head, at, u'(', u')');
            at = close < 0 ? head.size() : close + 1;
        }
    };
    // One constant after the other ("A, B, C(3)"), each with its annotations and arguments.
    skipBlanks();
    do {
        while (at < head.size() && head[at] == u'@') {
            ++at;
            name();
            arguments();
            skipBlanks();
        }
        const QStringView constant = name();
        if (constant.isEmpty() || constant == enumName) {
            return false;
        }
        at = skipSpaces(head, at);
        arguments();
        skipBlanks();
    } while (at < head.size());
    return true;
}

bool isCompactConstructor(QStringView head, QStringView recordName) {
    if (recordName.isEmpty() || head.contains(u'(') || head.contains(u'=')) {
        return false;
    }
    const QStringView trimmed = head.trimmed();
    return trimmed.sliced(trimmed.lastIndexOf(u' ') + 1) == recordName;
}

} // namespace model
