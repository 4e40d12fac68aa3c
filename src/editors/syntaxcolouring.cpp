#include "editors/syntaxcolouring.h"

#include "editors/javakeywords.h"

#include <algorithm>
#include <string_view>

namespace editors {

namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kBackslash = u'\\';
constexpr QChar kLineFeed = u'\n';
constexpr QStringView kLineCommentStart = u"//";
constexpr QStringView kBlockCommentStart = u"/*";
constexpr QStringView kBlockCommentEnd = u"*/";
constexpr QStringView kTextBlockDelimiter = u"\"\"\"";

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
// identifier characters that spell a keyword: one pass over the text finds them all. A
// contextual word counts where its line makes it a keyword (non-sealed takes its "-sealed"
// along).
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
        if (const qsizetype length = keywordLength(text, start, position); length > 0) {
            mark(classes, start, start + length, ColourClass::Keyword);
        }
    }
}

// Whether the double quote at position is the character of a character literal, '"' or '\"',
// which opens no string.
bool isQuoteCharacter(QStringView text, qsizetype position) {
    if (position + 1 >= text.size() || text[position + 1] != u'\'') {
        return false;
    }
    if (position >= 1 && text[position - 1] == u'\'') {
        return true;
    }
    return position >= 2 && text[position - 1] == kBackslash && text[position - 2] == u'\'';
}

// The first double quote at from or later that opens a string, or -1.
qsizetype findStringStart(QStringView text, qsizetype from) {
    qsizetype quote = find(text, kQuote, from);
    while (quote >= 0 && isQuoteCharacter(text, quote)) {
        quote = find(text, kQuote, quote + 1);
    }
    return quote;
}

// Whether the character at position follows an odd run of backslashes that starts at from or
// later: escapes are read in pairs, so only such a character is escaped.
bool isEscaped(QStringView text, qsizetype from, qsizetype position) {
    qsizetype backslashes = 0;
    while (position - backslashes - 1 >= from && text[position - backslashes - 1] == kBackslash) {
        ++backslashes;
    }
    return backslashes % 2 == 1;
}

// The quote that closes a string whose text starts at from: the first one not escaped, or -1.
qsizetype findStringEnd(QStringView text, qsizetype from) {
    qsizetype quote = find(text, kQuote, from);
    while (quote >= 0 && isEscaped(text, from, quote)) {
        quote = find(text, kQuote, quote + 1);
    }
    return quote;
}

// The three quotes that close a text block whose text starts at from, or -1.
qsizetype findTextBlockEnd(QStringView text, qsizetype from) {
    qsizetype delimiter = find(text, kTextBlockDelimiter, from);
    while (delimiter >= 0 && isEscaped(text, from, delimiter)) {
        delimiter = find(text, kTextBlockDelimiter, delimiter + 1);
    }
    return delimiter;
}

// Whether three quotes at position open a text block: nothing but blanks may follow them on
// their line. In a text, the line ends at a line feed, at CR LF or at the end of the text.
bool opensTextBlock(QStringView text, qsizetype position) {
    if (!text.sliced(position).startsWith(kTextBlockDelimiter)) {
        return false;
    }
    qsizetype after = position + kTextBlockDelimiter.size();
    while (after < text.size()
           && (text[after] == u' ' || text[after] == u'\t' || text[after] == u'\f')) {
        ++after;
    }
    return after == text.size() || text[after] == kLineFeed
           || (text[after] == u'\r' && after + 1 < text.size() && text[after + 1] == kLineFeed);
}

// Whether a line comment starts on the line of position before it: a "//" whose first slash is not
// in a string marked so far. Three quotes behind one open no text block (commented-out code).
bool isAfterLineComment(QStringView text, qsizetype position, const ColourClasses &classes) {
    const qsizetype lineStart = position == 0 ? 0 : text.lastIndexOf(kLineFeed, position - 1) + 1;
    const QStringView before = text.sliced(lineStart, position - lineStart);
    for (qsizetype slashes = before.indexOf(kLineCommentStart); slashes >= 0;
         slashes = before.indexOf(kLineCommentStart, slashes + 1)) {
        if (classes[lineStart + slashes] != ColourClass::String) {
            return true;
        }
    }
    return false;
}

// Strings over the whole text. A character literal '"' opens none. Escapes are read in pairs,
// so "\\" ends at its last quote. A text block runs from its three quotes to the three that
// close it, over as many lines as it takes, or to the end of the text. An unterminated string
// gets no colour, and the search for the next string starts one character after the end of
// the previous one.
void markStrings(QStringView text, ColourClasses &classes) {
    const qsizetype length = text.size();
    qsizetype end = 0;
    for (;;) {
        const qsizetype start = findStringStart(text, end);
        if (start < 0) {
            return;
        }
        if (opensTextBlock(text, start) && !isAfterLineComment(text, start, classes)) {
            const qsizetype close = findTextBlockEnd(text, start + kTextBlockDelimiter.size());
            end = close < 0 ? length : close + kTextBlockDelimiter.size();
        } else {
            const qsizetype close = findStringEnd(text, start + 1);
            end = close < 0 ? start : close + 1;
        }
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
            end = length;
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
        end = end < 0 ? length : end + 2;
        mark(classes, start, end, ColourClass::Comment);
        ++end;
    }
}

// Strings within one line: an unterminated string runs to the end of the line, and so do three
// quotes with nothing but blanks after them (and no line comment before them), which open a
// text block. A line that starts inside a text block is a string up to the three quotes that
// close it. Gives whether the line ends inside a text block.
bool markLineStrings(QStringView line, bool inTextBlock, ColourClasses &classes) {
    const qsizetype length = line.size();
    const auto markString = [&classes](qsizetype from, qsizetype to) {
        mark(classes, from, to, ColourClass::String);
    };
    qsizetype from = 0;
    if (inTextBlock) {
        const qsizetype close = findTextBlockEnd(line, 0);
        if (close < 0) {
            markString(0, length);
            return true;
        }
        markString(0, close + kTextBlockDelimiter.size());
        from = close + kTextBlockDelimiter.size() + 1;
    }
    qsizetype start = findStringStart(line, from);
    while (start >= 0) {
        if (opensTextBlock(line, start) && !isAfterLineComment(line, start, classes)) {
            markString(start, length);
            return true;
        }
        qsizetype end = findStringEnd(line, start + 1);
        end = end < 0 ? length : end + 1;
        markString(start, end);
        start = findStringStart(line, end + 1);
    }
    return false;
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

ColourClasses classifyLine(QStringView line, bool open, bool inTextBlock) {
    ColourClasses classes(line.size(), ColourClass::Normal);
    markKeywords(line, classes);
    markLineStrings(line, inTextBlock, classes);
    markLineComment(line, classes);
    if (open && !line.contains(kBlockCommentEnd)) {
        mark(classes, 0, line.size(), ColourClass::Comment);
    }
    markLineBlockComments(line, open, classes);
    return classes;
}

bool textBlockOpenAfterLine(QStringView line, bool inTextBlock) {
    if (!line.contains(kTextBlockDelimiter)) {
        return inTextBlock;
    }
    ColourClasses classes(line.size(), ColourClass::Normal);
    return markLineStrings(line, inTextBlock, classes);
}

bool IsInTextBlock(QStringView text, qsizetype lineStart) {
    const qsizetype end = std::clamp<qsizetype>(lineStart, 0, text.size());
    bool open = false;
    qsizetype start = 0;
    for (qsizetype lineBreak;
         (lineBreak = text.indexOf(u"\r\n", start)) >= 0 && lineBreak + 2 <= end;
         start = lineBreak + 2) {
        open = textBlockOpenAfterLine(text.sliced(start, lineBreak - start), open);
    }
    return open;
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
