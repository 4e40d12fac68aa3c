#include "editors/javakeywords.h"

#include "editors/syntaxcolouring.h"

#include <array>
#include <string_view>
#include <vector>

namespace editors {

namespace {

enum class WordKind { Name, Reserved, Contextual };

constexpr std::u16string_view kContextualWords[] = {
    u"record",   u"sealed",  u"non",   u"permits", u"yield",    u"when",       u"module", u"open",
    u"requires", u"exports", u"opens", u"uses",    u"provides", u"transitive", u"to",     u"with",
};

constexpr std::u16string_view kClassModifiers[] = {
    u"class",  u"interface", u"abstract", u"static",   u"final",
    u"public", u"protected", u"private",  u"strictfp",
};

// The words by length and first letter: every keyword starts with a lower-case letter, so a
// word is looked up among the few of its length and first letter (most words among none),
// with no hash to compute.
class WordTable {
public:
    WordTable() {
        for (const QStringList *keywords : {&keywordList(), &addedKeywordList()}) {
            for (const QString &keyword : *keywords) {
                add(std::u16string_view(QStringView(keyword).utf16(), keyword.size()),
                    WordKind::Reserved);
            }
        }
        for (const std::u16string_view word : kContextualWords) {
            add(word, WordKind::Contextual);
        }
    }

    WordKind kindOf(QStringView word) const {
        if (word.size() > kLongest || word.isEmpty() || word[0] < u'a' || word[0] > u'z') {
            return WordKind::Name;
        }
        const std::u16string_view wanted(word.utf16(), word.size());
        for (const Entry &entry : m_buckets[word.size()][word[0].unicode() - u'a']) {
            if (entry.word == wanted) {
                return entry.kind;
            }
        }
        return WordKind::Name;
    }

private:
    static constexpr qsizetype kLongest = 12;
    struct Entry {
        std::u16string_view word;
        WordKind kind;
    };

    void add(std::u16string_view word, WordKind kind) {
        Q_ASSERT(!word.empty() && qsizetype(word.size()) <= kLongest && word[0] >= u'a'
                 && word[0] <= u'z');
        // The table keeps the words' texts: the keyword lists live as long as the program.
        m_buckets[word.size()][word[0] - u'a'].push_back({word, kind});
    }

    std::array<std::array<std::vector<Entry>, 26>, kLongest + 1> m_buckets;
};

WordKind kindOf(QStringView word) {
    static const WordTable table;
    return table.kindOf(word);
}

bool isBlank(QChar character) {
    return character == u' ' || character == u'\t' || character == u'\f';
}

bool isLineBreak(QChar character) {
    return character == u'\r' || character == u'\n';
}

// Characters that may continue a name: letters, digits, '_' and '$'.
bool isNameChar(QChar character) {
    return isIdentifierChar(character) || character.isDigit() || character == u'$';
}

bool isNameStart(QChar character) {
    return isIdentifierChar(character) || character == u'$';
}

// The line around a word, from its start up to its line break. Only the start is looked for at
// once; every walk to the right stops at the line break by itself, since a line break is
// neither blank nor part of a name.
struct Line {
    QStringView text;
    qsizetype start = 0;

    static Line around(QStringView text, qsizetype position) {
        qsizetype start = position;
        while (start > 0 && !isLineBreak(text[start - 1])) {
            --start;
        }
        return {text, start};
    }

    qsizetype skipBlanks(qsizetype position) const {
        while (position < text.size() && isBlank(text[position])) {
            ++position;
        }
        return position;
    }
    qsizetype nameEnd(qsizetype position) const {
        while (position < text.size() && isNameChar(text[position])) {
            ++position;
        }
        return position;
    }
    // The first character after blanks following position, which must be a blank itself;
    // -1 when there is no blank or only the line's end after the blanks.
    qsizetype afterSpace(qsizetype position) const {
        if (position >= text.size() || !isBlank(text[position])) {
            return -1;
        }
        position = skipBlanks(position);
        return position < text.size() && !isLineBreak(text[position]) ? position : -1;
    }
    bool isAt(qsizetype position, QChar character) const {
        return position >= 0 && position < text.size() && text[position] == character;
    }
    // The name that starts at position, or an empty one.
    QStringView nameAt(qsizetype position) const {
        if (position < 0 || position >= text.size() || !isNameStart(text[position])) {
            return {};
        }
        return text.sliced(position, nameEnd(position) - position);
    }
    bool isFirstWord(qsizetype position) const { return skipBlanks(start) == position; }
    // Whether the line holds the character anywhere.
    bool holds(QChar character) const {
        for (qsizetype position = start; position < text.size() && !isLineBreak(text[position]);
             ++position) {
            if (text[position] == character) {
                return true;
            }
        }
        return false;
    }
    // Whether the text of the line before position holds the word on its own.
    bool holdsWordBefore(qsizetype position, QStringView word) const {
        const QStringView before = text.sliced(start, position - start);
        for (qsizetype found = before.indexOf(word); found >= 0;
             found = before.indexOf(word, found + 1)) {
            const qsizetype after = found + word.size();
            if ((found == 0 || !isNameChar(before[found - 1]))
                && (after == before.size() || !isNameChar(before[after]))) {
                return true;
            }
        }
        return false;
    }
};

bool isOneOf(QStringView word, std::initializer_list<std::u16string_view> words) {
    for (const std::u16string_view candidate : words) {
        if (std::u16string_view(word.utf16(), word.size()) == candidate) {
            return true;
        }
    }
    return false;
}

// record before a type name and its "(" or "<".
bool isRecordKeyword(const Line &line, qsizetype to) {
    const qsizetype name = line.afterSpace(to);
    if (line.nameAt(name).isEmpty()) {
        return false;
    }
    const qsizetype after = line.skipBlanks(line.nameEnd(name));
    return line.isAt(after, u'(') || line.isAt(after, u'<');
}

// sealed and non-sealed before class, interface, another modifier or an annotation.
bool isSealedKeyword(const Line &line, qsizetype to) {
    const qsizetype next = line.afterSpace(to);
    if (next < 0) {
        return false;
    }
    if (line.isAt(next, u'@')) {
        return true;
    }
    const QStringView word = line.nameAt(next);
    for (const std::u16string_view modifier : kClassModifiers) {
        if (std::u16string_view(word.utf16(), word.size()) == modifier) {
            return true;
        }
    }
    return isOneOf(word, {u"sealed", u"non"});
}

// permits before a type name, first on its line or after class or interface.
bool isPermitsKeyword(const Line &line, qsizetype from, qsizetype to) {
    if (line.nameAt(line.afterSpace(to)).isEmpty()) {
        return false;
    }
    return line.isFirstWord(from) || line.holdsWordBefore(from, u"class")
           || line.holdsWordBefore(from, u"interface");
}

// yield at a statement start, before an expression.
bool isYieldKeyword(const Line &line, qsizetype from, qsizetype to) {
    qsizetype before = from;
    while (before > line.start && isBlank(line.text[before - 1])) {
        --before;
    }
    if (before > line.start) {
        const QChar previous = line.text[before - 1];
        const bool arrow =
            previous == u'>' && before - 1 > line.start && line.text[before - 2] == u'-';
        if (!arrow && !QStringView(u";{}:").contains(previous)) {
            return false;
        }
    }
    const qsizetype next = line.afterSpace(to);
    return next >= 0 && !QStringView(u"=.[);,").contains(line.text[next]);
}

// The words of a module declaration: the line starts with module, open module or a directive.
bool isModuleKeyword(const Line &line, QStringView word, qsizetype from, qsizetype to) {
    const qsizetype firstStart = line.skipBlanks(line.start);
    const QStringView first = line.nameAt(firstStart);
    if (!isOneOf(first,
                 {u"module", u"open", u"requires", u"exports", u"opens", u"uses", u"provides"})) {
        return false;
    }
    const qsizetype firstEnd = firstStart + first.size();
    const QStringView second = line.nameAt(line.afterSpace(firstEnd));
    if (second.isEmpty() || line.holds(u'=') || line.holds(u'(')) {
        return false;
    }
    const bool opened = isOneOf(first, {u"open"});
    if (opened && !isOneOf(second, {u"module"})) {
        return false;
    }
    if (from == firstStart) {
        return true;
    }
    if (isOneOf(word, {u"module"})) {
        return opened && from == line.afterSpace(firstEnd);
    }
    if (isOneOf(word, {u"transitive"})) {
        return isOneOf(first, {u"requires"}) && !line.nameAt(line.afterSpace(to)).isEmpty();
    }
    if (isOneOf(word, {u"to"})) {
        return isOneOf(first, {u"exports", u"opens"});
    }
    if (isOneOf(word, {u"with"})) {
        return isOneOf(first, {u"provides"});
    }
    return false;
}

} // namespace

const QStringList &addedKeywordList() {
    static const QStringList keywords = {QStringLiteral("enum"), QStringLiteral("assert"),
                                         QStringLiteral("strictfp")};
    return keywords;
}

bool isContextualWord(QStringView word) {
    return kindOf(word) == WordKind::Contextual;
}

qsizetype contextualKeywordLength(QStringView text, qsizetype from, qsizetype to) {
    const QStringView word = text.sliced(from, to - from);
    const Line line = Line::around(text, from);
    const qsizetype length = to - from;
    if (isOneOf(word, {u"non"})) {
        constexpr QStringView kRest = u"-sealed";
        const qsizetype end = to + kRest.size();
        const bool nonSealed =
            text.sliced(to).startsWith(kRest) && (end == text.size() || !isNameChar(text[end]));
        return nonSealed && isSealedKeyword(line, end) ? end - from : 0;
    }
    bool keyword = false;
    if (isOneOf(word, {u"record"})) {
        keyword = isRecordKeyword(line, to);
    } else if (isOneOf(word, {u"sealed"})) {
        keyword = isSealedKeyword(line, to);
    } else if (isOneOf(word, {u"permits"})) {
        keyword = isPermitsKeyword(line, from, to);
    } else if (isOneOf(word, {u"yield"})) {
        keyword = isYieldKeyword(line, from, to);
    } else if (isOneOf(word, {u"when"})) {
        keyword = line.afterSpace(to) >= 0 && line.holdsWordBefore(from, u"case");
    } else {
        keyword = isModuleKeyword(line, word, from, to);
    }
    return keyword ? length : 0;
}

qsizetype keywordLength(QStringView text, qsizetype from, qsizetype to) {
    switch (kindOf(text.sliced(from, to - from))) {
    case WordKind::Reserved:
        return to - from;
    case WordKind::Contextual:
        return contextualKeywordLength(text, from, to);
    case WordKind::Name:
        break;
    }
    return 0;
}

} // namespace editors
