#include "editors/syntaxcolouring.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace editors {

namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kBackslash = u'\\';
constexpr QChar kLineFeed = u'\n';
constexpr QStringView kLineCommentStart = u"//";
constexpr QStringView kBlockCommentStart = u"/*";
constexpr QStringView kBlockCommentEnd = u"*/";

// The keyword table in its original form: seven pieces, joined and then split at each ";".
constexpr const char *kKeywordPieces[] = {
    "abstract;boolean;break;byte;byValue;case;cast;",
    "default;do;double;else;extends;false;final;goto;if;implements;",
    "import;inner;instanceOf;int;operator;outer;package;private;",
    "protected;public;rest;synchronized;this;throw;throws;transient;",
    "true;try;catch;char;class;const;continue;finally;float;for;future;",
    "generic;interface;long;native;new;null;return;short;static;super;",
    "switch;var;void;volatile;while;",
};

QStringList buildKeywordList() {
    QString rest;
    for (const char *piece : kKeywordPieces) {
        rest += QLatin1String(piece);
    }
    QStringList keywords;
    while (rest.size() >= 2 && rest.contains(u';')) {
        const qsizetype semicolon = rest.indexOf(u';');
        keywords.append(rest.left(semicolon));
        rest = rest.mid(semicolon + 1);
    }
    // "instanceOf" is a slip for the Java keyword instanceof, which would otherwise never be
    // coloured. The slip keeps its place, so that the table's order and every word it coloured
    // stay as they were; the real keyword follows it.
    keywords.insert(keywords.indexOf(QStringLiteral("instanceOf")) + 1,
                    QStringLiteral("instanceof"));
    return keywords;
}

bool isKeyword(QStringView word) {
    static const std::unordered_set<std::u16string_view> keywords = [] {
        std::unordered_set<std::u16string_view> set;
        for (const QString &keyword : keywordList()) {
            set.emplace(QStringView(keyword).utf16(), keyword.size());
        }
        return set;
    }();
    return keywords.contains(std::u16string_view(word.utf16(), word.size()));
}

// The first occurrence of `what` that starts at `from` or later, or -1; a start beyond the end
// of the text finds nothing.
qsizetype find(QStringView text, QStringView what, qsizetype from) {
    Q_ASSERT(from >= 0);
    return from > text.size() ? -1 : text.indexOf(what, from);
}

qsizetype find(QStringView text, QChar what, qsizetype from) {
    Q_ASSERT(from >= 0);
    return from > text.size() ? -1 : text.indexOf(what, from);
}

void mark(ColourClasses &classes, qsizetype from, qsizetype to, ColourClass colourClass) {
    if (from < to) {
        std::fill(classes.begin() + from, classes.begin() + to, colourClass);
    }
}

// A keyword counts only where neither neighbour is an identifier character. Keywords are made of
// identifier characters only, so the occurrences that count are exactly the maximal runs of
// identifier characters that spell a keyword: one pass over the text finds them all.
void markKeywords(QStringView text, ColourClasses &classes) {
    const qsizetype length = text.size();
    qsizetype position = 0;
    while (position < length) {
        if (!isIdentifierChar(text[position])) {
            ++position;
            continue;
        }
        const qsizetype start = position;
        while (position < length && isIdentifierChar(text[position])) {
            ++position;
        }
        if (isKeyword(text.sliced(start, position - start))) {
            mark(classes, start, position, ColourClass::Keyword);
        }
    }
}

// Strings over the whole text. A quote right after a backslash does not close, even when that
// backslash is itself escaped. An unterminated string gets no colour, and the search for the
// next string starts one character after the end of the previous one.
void markStrings(QStringView text, ColourClasses &classes) {
    const qsizetype length = text.size();
    qsizetype end = 0;
    for (;;) {
        const qsizetype start = find(text, kQuote, end);
        if (start < 0) {
            return;
        }
        end = find(text, kQuote, start + 1);
        while (end >= 0 && text[end - 1] == kBackslash) {
            end = find(text, kQuote, end + 1);
        }
        end = end < 0 ? start : end + 1;
        end = std::min(end, length - 1);
        mark(classes, start, end, ColourClass::String);
        ++end;
        if (end >= length - 1) {
            return;
        }
    }
}

// Line comments over the whole text: a "//" whose first slash is in a string is skipped. The
// comment takes the CR of its line break with it.
void markLineComments(QStringView text, ColourClasses &classes) {
    const qsizetype length = text.size();
    qsizetype end = 0;
    for (;;) {
        qsizetype start = find(text, kLineCommentStart, end);
        while (start >= 0 && classes[start] == ColourClass::String) {
            start = find(text, kLineCommentStart, start + 1);
        }
        if (start < 0) {
            return;
        }
        end = find(text, kLineFeed, start);
        if (end < 0) {
            end = length - 1;
        }
        mark(classes, start, end, ColourClass::Comment);
        ++end;
    }
}

// Block comments over the whole text, overriding everything else. The closing "*/" is searched
// from the opening "/*" itself, so "/*/" is a complete comment.
void markBlockComments(QStringView text, ColourClasses &classes) {
    const qsizetype length = text.size();
    qsizetype end = 0;
    for (;;) {
        const qsizetype start = find(text, kBlockCommentStart, end);
        if (start < 0) {
            return;
        }
        end = find(text, kBlockCommentEnd, start);
        end = end < 0 ? length - 1 : end + 2;
        mark(classes, start, end, ColourClass::Comment);
        ++end;
    }
}

// Strings within one line: an unterminated string runs to the end of the line.
void markLineStrings(QStringView line, ColourClasses &classes) {
    const qsizetype length = line.size();
    qsizetype start = find(line, kQuote, 0);
    while (start >= 0) {
        qsizetype end = find(line, kQuote, start + 1);
        while (end >= 0 && line[end - 1] == kBackslash) {
            end = find(line, kQuote, end + 1);
        }
        end = end < 0 ? length : end + 1;
        mark(classes, start, end, ColourClass::String);
        start = find(line, kQuote, end + 1);
    }
}

// The first "//" outside a string makes the rest of the line a comment.
void markLineComment(QStringView line, ColourClasses &classes) {
    qsizetype start = find(line, kLineCommentStart, 0);
    while (start >= 0 && classes[start] == ColourClass::String) {
        start = find(line, kLineCommentStart, start + 1);
    }
    if (start >= 0) {
        mark(classes, start, line.size(), ColourClass::Comment);
    }
}

// Block comments within one line. After each closed comment the search for the next "/*" goes on
// from its "*/". Once no further "/*" is found, a comment left open by an earlier line is closed
// by the line's first "*/", which is coloured from the start of the line.
void markLineBlockComments(QStringView line, bool open, ColourClasses &classes) {
    const qsizetype length = line.size();
    qsizetype start = 0;
    qsizetype end = 0;
    while (start >= 0 && end != -1) {
        start = find(line, kBlockCommentStart, end);
        if (start >= 0) {
            end = find(line, kBlockCommentEnd, start);
            mark(classes, start, end >= 0 ? end + 2 : length, ColourClass::Comment);
        } else {
            end = find(line, kBlockCommentEnd, 0);
            if (end >= 0 && open) {
                mark(classes, 0, end + 2, ColourClass::Comment);
            }
        }
    }
}

} // namespace

const QStringList &keywordList() {
    static const QStringList keywords = buildKeywordList();
    return keywords;
}

ColourClasses classifyWholeText(QStringView text) {
    ColourClasses classes(text.size(), ColourClass::Normal);
    markKeywords(text, classes);
    markStrings(text, classes);
    markLineComments(text, classes);
    markBlockComments(text, classes);
    return classes;
}

ColourClasses classifyLine(QStringView line, bool open) {
    ColourClasses classes(line.size(), ColourClass::Normal);
    markKeywords(line, classes);
    markLineStrings(line, classes);
    markLineComment(line, classes);
    if (open && !line.contains(kBlockCommentEnd)) {
        mark(classes, 0, line.size(), ColourClass::Comment);
    }
    markLineBlockComments(line, open, classes);
    return classes;
}

CommentMarker lastCommentMarker(QStringView text) {
    const char16_t *units = text.utf16();
    for (qsizetype position = text.size() - 2; position >= 0; --position) {
        if (units[position] == u'/' && units[position + 1] == u'*') {
            return CommentMarker::Open;
        }
        if (units[position] == u'*' && units[position + 1] == u'/') {
            return CommentMarker::Close;
        }
    }
    return CommentMarker::None;
}

bool IsInBlockComment(QStringView text, qsizetype offset) {
    const qsizetype prefixLength = std::clamp<qsizetype>(offset, 0, text.size());
    return lastCommentMarker(text.first(prefixLength)) == CommentMarker::Open;
}

std::vector<ColourRun> colourRuns(std::span<const ColourClass> classes) {
    std::vector<ColourRun> runs;
    const qsizetype length = static_cast<qsizetype>(classes.size());
    qsizetype from = 0;
    for (qsizetype position = 1; position <= length; ++position) {
        if (position == length || classes[position] != classes[from]) {
            runs.push_back({from, position, classes[from]});
            from = position;
        }
    }
    return runs;
}

} // namespace editors
