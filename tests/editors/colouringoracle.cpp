#include "colouringoracle.h"

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
    for (const QString &keywordText : editors::keywordList()) {
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
}

} // namespace

ColourClasses classifyWholeText(std::u16string_view text) {
    const qsizetype n = qsizetype(text.size());
    ColourClasses m(n, ColourClass::Normal);
    markKeywords(text, m);

    qsizetype e = 0;
    for (;;) {
        const qsizetype s = find(text, u"\"", e);
        if (s < 0) {
            break;
        }
        e = find(text, u"\"", s + 1);
        while (e >= 0 && e <= n && text[e - 1] == u'\\') {
            e = find(text, u"\"", e + 1);
        }
        e = e < 0 ? s : e + 1;
        if (e > n - 1) {
            e = n - 1;
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
            e = n - 1;
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
        e = e < 0 ? n - 1 : e + 2;
        fill(m, s, e - 1, ColourClass::Comment);
        e = e + 1;
    }
    return m;
}

ColourClasses classifyLine(std::u16string_view line, bool open) {
    const qsizetype n = qsizetype(line.size());
    ColourClasses m(n, ColourClass::Normal);
    markKeywords(line, m);

    qsizetype s = find(line, u"\"", 0);
    while (s >= 0) {
        qsizetype e = find(line, u"\"", s + 1);
        while (e > 1 && e < n && line[e - 1] == u'\\') {
            e = find(line, u"\"", e + 1);
        }
        e = e < 0 ? n : e + 1;
        if (e > 0) {
            fill(m, s, e - 1, ColourClass::String);
        }
        s = find(line, u"\"", e + 1);
    }

    s = find(line, u"//", 0);
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
