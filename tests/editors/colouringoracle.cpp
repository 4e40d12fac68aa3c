#include "colouringoracle.h"

#include "editors/javakeywords.h"

#include <algorithm>
#include <string>

using editors::ColourClass;
using editors::ColourClasses;

namespace oracle {

namespace {

// The first occurrence of `what` at `from` or later, or -1; a start beyond the end finds nothing.
qsizetype find(std::u16string_view text, std::u16string_view what, qsizetype from) {
    if (from > qsizetype(text.size())) {
        return -1;
    }
    const size_t found = text.find(what, size_t(from));
    return found == std::u16string_view::npos ? -1 : qsizetype(found);
}

// M[first .. last] = colourClass, both ends included.
void fill(ColourClasses &classes, qsizetype first, qsizetype last, ColourClass colourClass) {
    for (qsizetype position = first; position <= last; ++position) {
        classes[position] = colourClass;
    }
}

bool isIdentifierChar(char16_t character) {
    return editors::identifierChars.contains(QChar(character));
}

void markKeywords(std::u16string_view text, ColourClasses &classes) {
    const qsizetype length = qsizetype(text.size());
    for (const QString &keywordText : editors::keywordList() + editors::addedKeywordList()) {
        const std::u16string keyword = keywordText.toStdU16String();
        const qsizetype keywordLength = qsizetype(keyword.size());
        for (qsizetype k = find(text, keyword, 0); k >= 0; k = find(text, keyword, k + 1)) {
            const bool touchesBefore = k > 0 && isIdentifierChar(text[k - 1]);
            const bool touchesAfter =
                k + keywordLength < length && isIdentifierChar(text[k + keywordLength]);
            if (!touchesBefore && !touchesAfter) {
                fill(classes, k, k + keywordLength - 1, ColourClass::Keyword);
            }
        }
    }
    // Every word of identifier characters that is a contextual word, as its line makes it.
    const QStringView whole(text.data(), length);
    for (qsizetype k = 0; k < length;) {
        qsizetype end = k;
        while (end < length && isIdentifierChar(text[end])) {
            ++end;
        }
        if (end > k && editors::isContextualWord(whole.sliced(k, end - k))) {
            const qsizetype keyword = editors::contextualKeywordLength(whole, k, end);
            if (keyword > 0) {
                fill(classes, k, k + keyword - 1, ColourClass::Keyword);
            }
        }
        k = end > k ? end : k + 1;
    }
}

// Whether the quote at s is the character of '"' or '\"'.
bool isQuoteCharacter(std::u16string_view text, qsizetype s) {
    const qsizetype n = qsizetype(text.size());
    return s + 1 < n && text[s + 1] == u'\''
           && ((s >= 1 && text[s - 1] == u'\'')
               || (s >= 2 && text[s - 1] == u'\\' && text[s - 2] == u'\''));
}

// Whether an odd number of backslashes stands right before e, counting none before `from`.
bool oddBackslashesBefore(std::u16string_view text, qsizetype from, qsizetype e) {
    int count = 0;
    for (qsizetype k = e - 1; k >= from && text[k] == u'\\'; --k) {
        ++count;
    }
    return count % 2 == 1;
}

// Whether three quotes stand at s with nothing but blanks after them up to LF, CR LF or the end.
bool opensTextBlock(std::u16string_view text, qsizetype s) {
    if (text.substr(size_t(s)).substr(0, 3) != u"\"\"\"") {
        return false;
    }
    size_t k = size_t(s) + 3;
    while (k < text.size() && (text[k] == u' ' || text[k] == u'\t' || text[k] == u'\f')) {
        ++k;
    }
    return k == text.size() || text.substr(k).starts_with(u"\n")
           || text.substr(k).starts_with(u"\r\n");
}

// Whether a "//" not marked String stands before s on its line.
bool lineCommentBefore(std::u16string_view text, qsizetype s, const ColourClasses &m) {
    qsizetype lineStart = s;
    while (lineStart > 0 && text[lineStart - 1] != u'\n') {
        --lineStart;
    }
    for (qsizetype k = lineStart; k + 1 < s; ++k) {
        if (text[k] == u'/' && text[k + 1] == u'/' && m[k] != ColourClass::String) {
            return true;
        }
    }
    return false;
}

// The next quote at `from` or later that does not stand inside a character literal.
qsizetype findOpening(std::u16string_view text, qsizetype from) {
    qsizetype s = find(text, u"\"", from);
    while (s >= 0 && isQuoteCharacter(text, s)) {
        s = find(text, u"\"", s + 1);
    }
    return s;
}

// The closing `what` ("\"" or three quotes) of a string whose text starts at `from`.
qsizetype findClosing(std::u16string_view text, std::u16string_view what, qsizetype from) {
    qsizetype e = find(text, what, from);
    while (e >= 0 && oddBackslashesBefore(text, from, e)) {
        e = find(text, what, e + 1);
    }
    return e;
}

} // namespace

ColourClasses classifyWholeText(std::u16string_view text) {
    const qsizetype n = qsizetype(text.size());
    ColourClasses m(n, ColourClass::Normal);
    markKeywords(text, m);

    qsizetype e = 0;
    for (;;) {
        const qsizetype s = findOpening(text, e);
        if (s < 0) {
            break;
        }
        if (opensTextBlock(text, s) && !lineCommentBefore(text, s, m)) {
            e = findClosing(text, u"\"\"\"", s + 3);
            e = e < 0 ? n : e + 3;
        } else {
            e = findClosing(text, u"\"", s + 1);
            e = e < 0 ? s : e + 1;
        }
        fill(m, s, e - 1, ColourClass::String);
        e = e + 1;
        if (e >= n - 1) {
            break;
        }
    }

    e = 0;
    for (;;) {
        qsizetype s = find(text, u"//", e);
        while (s >= 0 && m[s] == ColourClass::String) {
            s = find(text, u"//", s + 1);
        }
        if (s < 0) {
            break;
        }
        e = find(text, u"\n", s);
        if (e < 0) {
            e = n;
        }
        fill(m, s, e - 1, ColourClass::Comment);
        e = e + 1;
    }

    e = 0;
    for (;;) {
        const qsizetype s = find(text, u"/*", e);
        if (s < 0) {
            break;
        }
        e = find(text, u"*/", s);
        e = e < 0 ? n : e + 2;
        fill(m, s, e - 1, ColourClass::Comment);
        e = e + 1;
    }
    return m;
}

namespace {

// The strings of a line; gives whether the line ends inside a text block.
bool markLineStrings(std::u16string_view line, bool inTextBlock, ColourClasses &m) {
    const qsizetype n = qsizetype(line.size());
    qsizetype s = -1;
    if (!inTextBlock) {
        s = findOpening(line, 0);
    } else if (const qsizetype close = findClosing(line, u"\"\"\"", 0); close < 0) {
        fill(m, 0, n - 1, ColourClass::String);
        return true;
    } else {
        fill(m, 0, close + 2, ColourClass::String);
        s = findOpening(line, close + 4);
    }
    while (s >= 0) {
        if (opensTextBlock(line, s) && !lineCommentBefore(line, s, m)) {
            fill(m, s, n - 1, ColourClass::String);
            return true;
        }
        qsizetype e = findClosing(line, u"\"", s + 1);
        e = e < 0 ? n : e + 1;
        fill(m, s, e - 1, ColourClass::String);
        s = findOpening(line, e + 1);
    }
    return false;
}

} // namespace

ColourClasses classifyLine(std::u16string_view line, bool open, bool inTextBlock) {
    const qsizetype n = qsizetype(line.size());
    ColourClasses m(n, ColourClass::Normal);
    markKeywords(line, m);
    markLineStrings(line, inTextBlock, m);

    qsizetype s = find(line, u"//", 0);
    while (s >= 0 && m[s] == ColourClass::String) {
        s = find(line, u"//", s + 1);
    }
    if (s >= 0) {
        fill(m, s, n - 1, ColourClass::Comment);
    }

    if (find(line, u"*/", 0) < 0 && open) {
        fill(m, 0, n - 1, ColourClass::Comment);
    }

    s = 0;
    qsizetype e = 0;
    while (s >= 0 && e != -1) {
        s = find(line, u"/*", e);
        if (s >= 0) {
            e = find(line, u"*/", s);
            fill(m, s, (e >= 0 ? e + 2 : n) - 1, ColourClass::Comment);
        } else {
            e = find(line, u"*/", 0);
            if (e >= 0 && open) {
                fill(m, 0, e + 1, ColourClass::Comment);
            }
        }
    }
    return m;
}

bool isInTextBlock(std::u16string_view text, qsizetype lineStart) {
    bool open = false;
    for (qsizetype start = 0, lineBreak;
         (lineBreak = find(text, u"\r\n", start)) >= 0 && lineBreak + 2 <= lineStart;
         start = lineBreak + 2) {
        const std::u16string_view line = text.substr(size_t(start), size_t(lineBreak - start));
        ColourClasses m(line.size(), ColourClass::Normal);
        open = markLineStrings(line, open, m);
    }
    return open;
}

bool isInBlockComment(std::u16string_view text, qsizetype offset) {
    const std::u16string_view prefix = text.substr(0, size_t(std::max<qsizetype>(offset, 0)));
    const size_t lastOpen = prefix.rfind(u"/*");
    const size_t lastClose = prefix.rfind(u"*/");
    if (lastOpen == std::u16string_view::npos) {
        return false;
    }
    return lastClose == std::u16string_view::npos || lastOpen > lastClose;
}

} // namespace oracle
