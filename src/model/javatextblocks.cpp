#include "model/javatextblocks.h"

namespace model {

namespace {

constexpr QStringView kDelimiter = u"\"\"\"";

bool isLineBreak(QChar character) {
    return character == u'\n' || character == u'\r';
}

// Whether three quotes at position are followed by nothing but blanks up to their line's end.
bool opensTextBlock(QStringView text, qsizetype position) {
    if (!text.sliced(position).startsWith(kDelimiter)) {
        return false;
    }
    qsizetype after = position + kDelimiter.size();
    while (after < text.size()
           && (text[after] == u' ' || text[after] == u'\t' || text[after] == u'\f')) {
        ++after;
    }
    return after == text.size() || isLineBreak(text[after]);
}

// The index just past the literal (string or character) that opens at position with quote: its
// escapes are read in pairs, and a line break ends it too.
qsizetype literalEnd(QStringView text, qsizetype position, QChar quote) {
    qsizetype index = position + 1;
    while (index < text.size() && text[index] != quote && !isLineBreak(text[index])) {
        index += text[index] == u'\\' ? 2 : 1;
    }
    return std::min(index + 1, text.size());
}

// The index just past the three quotes that close a text block whose text starts at position, or
// the end of the text.
qsizetype textBlockEnd(QStringView text, qsizetype position) {
    qsizetype index = position;
    while (index < text.size()) {
        if (text[index] == u'\\') {
            index += 2;
        } else if (text.sliced(index).startsWith(kDelimiter)) {
            return index + kDelimiter.size();
        } else {
            ++index;
        }
    }
    return text.size();
}

// Whether the text holds three quotes in a row: a search for the quote, which is fast, and a
// look at the two characters after each.
bool holdsDelimiter(QStringView text) {
    for (qsizetype quote = text.indexOf(u'"'); quote >= 0 && quote + 2 < text.size();
         quote = text.indexOf(u'"', quote + 1)) {
        if (text[quote + 1] == u'"' && text[quote + 2] == u'"') {
            return true;
        }
    }
    return false;
}

} // namespace

QString blankedTextBlocks(QStringView text) {
    if (!holdsDelimiter(text)) {
        return {};
    }
    QString blanked;
    qsizetype index = 0;
    while (index < text.size()) {
        const QChar character = text[index];
        const QChar next = index + 1 < text.size() ? text[index + 1] : QChar();
        if (character == u'/' && next == u'/') {
            while (index < text.size() && !isLineBreak(text[index])) {
                ++index;
            }
        } else if (character == u'/' && next == u'*') {
            const qsizetype end = text.indexOf(u"*/", index + 2);
            index = end < 0 ? text.size() : end + 2;
        } else if (character == u'"' && opensTextBlock(text, index)) {
            const qsizetype end = textBlockEnd(text, index + kDelimiter.size());
            if (blanked.isNull()) {
                blanked = text.toString();
            }
            for (qsizetype blank = index; blank < end; ++blank) {
                if (!isLineBreak(blanked[blank])) {
                    blanked[blank] = u' ';
                }
            }
            index = end;
        } else if (character == u'"' || character == u'\'') {
            index = literalEnd(text, index, character);
        } else {
            ++index;
        }
    }
    return blanked;
}

} // namespace model
