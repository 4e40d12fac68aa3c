#include "model/javaheads.h"

#include <initializer_list>

namespace model {

namespace {

// Characters that end a type's name: white space, and the "<" of type parameters.
constexpr QStringView kNameEnd = u"\r\t\n <";

bool isNameChar(QChar character) {
    return character.isLetterOrNumber() || character == u'_' || character == u'$';
}

// The first occurrence of the word at from or later with no name character before it and
// `after` right after it; -1 when there is none.
qsizetype findWord(QStringView text, QStringView word, QChar after, qsizetype from = 0) {
    for (qsizetype found = text.indexOf(word, from); found >= 0;
         found = text.indexOf(word, found + 1)) {
        const qsizetype end = found + word.size();
        if ((found == 0 || !isNameChar(text[found - 1])) && end < text.size()
            && text[end] == after) {
            return found;
        }
    }
    return -1;
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

qsizetype recordKeyword(QStringView head) {
    for (qsizetype found = findWord(head, u"record", u' '); found >= 0;
         found = findWord(head, u"record", u' ', found + 1)) {
        if (recordHead(head, found).kind == TypeKind::Record) {
            return found;
        }
    }
    return -1;
}

} // namespace

TypeHead typeHeadOf(QStringView head) {
    qsizetype keyword = head.indexOf(u"class ");
    if (keyword < 0) {
        keyword = head.indexOf(u"interface ");
    }
    TypeKind kind = TypeKind::Class;
    if (keyword < 0) {
        keyword = findWord(head, u"enum", u' ');
        kind = TypeKind::Enum;
    }
    if (keyword < 0) {
        const qsizetype record = recordKeyword(head);
        return record < 0 ? TypeHead{} : recordHead(head, record);
    }
    const qsizetype nameStart = head.indexOf(u' ', keyword) + 1;
    return {kind, head.sliced(nameStart, nameEnd(head, nameStart) - nameStart).toString(), {}};
}

qsizetype typeKeywordIndex(QStringView head) {
    qsizetype first = -1;
    for (const qsizetype found : {head.indexOf(u"class "), head.indexOf(u"interface "),
                                  findWord(head, u"enum", u' '), recordKeyword(head)}) {
        if (found >= 0 && (first < 0 || found < first)) {
            first = found;
        }
    }
    return first;
}

bool isExpressionHead(QStringView head) {
    // The word new before the first "(" makes any head an expression, also when a ";" follows
    // (a field made with new, then a static initialiser's brace).
    const qsizetype firstParen = head.indexOf(u'(');
    if (findWord(firstParen < 0 ? head : head.first(firstParen), u"new", u' ') >= 0) {
        return true;
    }
    const QStringView statement = head.sliced(head.lastIndexOf(u';') + 1);
    if (statement.contains(u"->")) {
        return true;
    }
    const qsizetype paren = statement.indexOf(u'(');
    return (paren < 0 ? statement : statement.first(paren)).contains(u'=');
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
