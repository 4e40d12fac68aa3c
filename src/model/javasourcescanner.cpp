#include "model/javasourcescanner.h"

#include "model/javaheads.h"
#include "model/javatextblocks.h"
#include "model/scansink.h"

#include <limits>

namespace {

// White space that ends a declaration's head, and the blanks cut from the front of the
// declaration text once its offset is known.
constexpr QStringView kTrailingWhiteSpace = u" \t\n\v\f\r";
constexpr QStringView kLeadingBlanks = u"\t\n\r ";
// Declarations are normalised by replacing every double space by one this many times, which
// turns runs of up to 32 spaces into one.
constexpr int kSpaceRunPasses = 5;
constexpr qsizetype kSpacesMergedIntoOne = qsizetype(1) << kSpaceRunPasses;

enum Needle { OpenBrace, CloseBrace, BlockCommentStart, BlockCommentEnd, LineComment, NeedleCount };
constexpr std::array<QStringView, NeedleCount> kNeedles = {u"{", u"}", u"/*", u"*/", u"//"};

// Finds the first occurrence of a needle at or after a position. The answer to one question is
// kept and serves every later question for a position up to it, so as long as the positions
// asked for never decrease, each character is looked at about once in a whole scan.
class ForwardFinder {
public:
    ForwardFinder() = default;
    ForwardFinder(QStringView text, QStringView needle)
        : m_text(text)
        , m_needle(needle) {}

    // The absolute index of the first occurrence at or after position, or -1.
    qsizetype findFrom(qsizetype position) {
        const bool known = m_searchedFrom >= 0 && position >= m_searchedFrom
                           && (m_found < 0 || m_found >= position);
        if (!known) {
            m_searchedFrom = position;
            m_found = search(position);
        }
        return m_found;
    }

private:
    // The needles are one or two characters long: looking for the first character with the
    // vectorised character search and testing the second is much faster than a general
    // substring search.
    qsizetype search(qsizetype position) const {
        for (;;) {
            const qsizetype first = m_text.indexOf(m_needle.front(), position);
            if (first < 0 || m_needle.size() == 1) {
                return first;
            }
            if (first + 1 >= m_text.size()) {
                return -1;
            }
            if (m_text[first + 1] == m_needle[1]) {
                return first;
            }
            position = first + 1;
        }
    }

    QStringView m_text;
    QStringView m_needle;
    qsizetype m_searchedFrom = -1;
    qsizetype m_found = -1;
};

// The scan's working copy: the text from a start position on, only ever cut from the front.
// Indices are relative to its start, and -1 when it does not hold what is looked for. Cutting
// moves the start instead of copying the rest of the text.
class WorkingCopy {
public:
    explicit WorkingCopy(QStringView text)
        : m_text(text)
        , m_lineFeed(text, u"\n") {
        for (int needle = 0; needle < NeedleCount; ++needle) {
            m_finders[needle] = ForwardFinder(text, kNeedles[needle]);
        }
    }

    qsizetype indexOf(Needle needle) { return relative(m_finders[needle].findFrom(m_start)); }
    // The index of the first line feed at or after index.
    qsizetype indexOfLineFeedFrom(qsizetype index) {
        return relative(m_lineFeed.findFrom(m_start + index));
    }
    QStringView left(qsizetype count) const { return m_text.mid(m_start, qMax(count, 0)); }
    void cut(qsizetype count) { m_start += count; }

private:
    qsizetype relative(qsizetype found) const { return found < 0 ? -1 : found - m_start; }

    QStringView m_text;
    qsizetype m_start = 0;
    std::array<ForwardFinder, NeedleCount> m_finders;
    ForwardFinder m_lineFeed;
};

QStringView trimmedRight(QStringView text, QStringView blanks) {
    qsizetype end = text.size();
    while (end > 0 && blanks.contains(text[end - 1])) {
        --end;
    }
    return text.left(end);
}

QStringView trimmedLeft(QStringView text, QStringView blanks) {
    qsizetype start = 0;
    while (start < text.size() && blanks.contains(text[start])) {
        ++start;
    }
    return text.mid(start);
}

// Replaces every CR LF pair and every tab by a space, then every double space by one, five times
// over. One pass of the last step leaves ceil(n / 2) spaces of a run of n, so the five passes
// leave ceil(n / 32): done in one go here, since each replace pass would be a search of its own.
QString normalisedDeclaration(QStringView text) {
    QString result(text.size(), Qt::Uninitialized);
    QChar *const out = result.data();
    qsizetype length = 0;
    qsizetype spaces = 0;
    const auto writeSpaces = [&] {
        for (qsizetype n = (spaces + kSpacesMergedIntoOne - 1) / kSpacesMergedIntoOne; n > 0; --n) {
            out[length++] = u' ';
        }
        spaces = 0;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            c = u' ';
            ++i;
        } else if (c == u'\t') {
            c = u' ';
        }
        if (c == u' ') {
            ++spaces;
            continue;
        }
        writeSpaces();
        out[length++] = c;
    }
    writeSpaces();
    result.truncate(length);
    return result;
}

// Cuts count characters from the front of the working copy and counts them as consumed.
void cutFront(WorkingCopy &text, int &consumedCount, qsizetype count) {
    consumedCount += static_cast<int>(count);
    text.cut(count);
}

// Comments that start before both the next opening and the next closing brace are cut away,
// each up to the first "*/" in the rest of the text (which may lie before the "/*").
void removeBlockComments(WorkingCopy &text, int &consumedCount) {
    for (;;) {
        const qsizetype start = text.indexOf(BlockCommentStart);
        if (start < 0 || !(start < text.indexOf(OpenBrace) && start < text.indexOf(CloseBrace))) {
            return;
        }
        const qsizetype end = text.indexOf(BlockCommentEnd);
        if (end < 0) {
            return;
        }
        cutFront(text, consumedCount, end + 2);
    }
}

// Line comments that start before both braces are cut up to and including their line feed. A
// comment with no line feed after it stays, and the braces in it count.
void removeLineComments(WorkingCopy &text, int &consumedCount) {
    for (;;) {
        const qsizetype start = text.indexOf(LineComment);
        if (start < 0 || !(start < text.indexOf(OpenBrace) && start < text.indexOf(CloseBrace))) {
            return;
        }
        const qsizetype lineFeed = text.indexOfLineFeedFrom(start);
        if (lineFeed < 0) {
            return;
        }
        cutFront(text, consumedCount, lineFeed + 1);
    }
}

} // namespace

void JavaSourceScanner::ScanSource(const QString &text, const QString &documentPath,
                                   ScanSink *project) {
    // Offsets are 32-bit: a longer text is scanned as far as they reach.
    const QStringView scanned = QStringView(text).left(std::numeric_limits<int>::max());
    const ScanTarget target{documentPath, project};
    if (project) {
        project->ClearFileClasses(documentPath);
    }

    int depth = 0;
    currentClassName.clear();
    consumedCount = 0;
    entryNames.clear();
    inInnerClass = false;
    typeBodies = {};
    // Text blocks hold no code: their braces and comment marks must not count.
    const QString blanked = model::blankedTextBlocks(scanned);
    WorkingCopy working(blanked.isNull() ? scanned : QStringView(blanked));

    for (;;) {
        if (working.indexOf(OpenBrace) < 0) {
            break;
        }
        removeBlockComments(working, consumedCount);
        removeLineComments(working, consumedCount);

        const qsizetype open = working.indexOf(OpenBrace);
        const qsizetype close = working.indexOf(CloseBrace);
        if (open < close) {
            // When comment removal took away every opening brace, open is -1: the depth rises,
            // nothing is recorded or cut, and the next pass ends the scan.
            ++depth;
            consumedCount += static_cast<int>(open + 1);
            if (depth < 3) {
                inInnerClass = false;
            }
            if (depth == 1 || depth == 2 || (depth == 3 && inInnerClass)) {
                ExtractDeclaration(working.left(open), depth, target);
            }
            working.cut(open + 1);
        } else {
            --depth;
            if (close >= 0) {
                cutFront(working, consumedCount, close + 1);
            }
            if (depth < 0) {
                break;
            }
        }
    }

    if (project) {
        project->ClassInfoUpdated();
    }
}

void JavaSourceScanner::ExtractDeclaration(QStringView head, int depth, const ScanTarget &target) {
    // The block this brace opens is no type body until its head says so.
    if (depth + 1 < static_cast<int>(typeBodies.size())) {
        typeBodies[depth + 1] = {};
    }
    // In an enum's body the constants come first, up to a ";": a brace among them opens a
    // constant's body, and the head that holds the ";" starts after it. (A comment cut may
    // have taken the ";" away: the first head that is no constant ends the constants too.)
    TypeBody &body = typeBodies[depth];
    if (body.enumConstants) {
        if (const qsizetype semicolon = head.lastIndexOf(u';'); semicolon >= 0) {
            body.enumConstants = false;
            head = head.sliced(semicolon + 1);
        }
    }

    const QStringView trimmed = trimmedRight(head, kTrailingWhiteSpace);
    qsizetype lastLine = trimmed.lastIndexOf(u'\n');
    // A parameter list, or an extends or implements part, that runs over several lines is
    // taken whole: the declaration starts on the line of its "(" or of its type keyword.
    if (lastLine >= 0) {
        if (const qsizetype paren = trimmed.lastIndexOf(u'('); paren >= 0) {
            if (paren < lastLine) {
                lastLine = trimmed.left(paren).lastIndexOf(u'\n');
            }
        } else if (const qsizetype keyword = model::typeKeywordIndex(trimmed); keyword >= 0) {
            if (keyword < lastLine) {
                lastLine = trimmed.left(keyword).lastIndexOf(u'\n');
            }
        }
    }
    const QStringView declaration = trimmed.mid(lastLine + 1);
    declOffset = consumedCount - static_cast<int>(declaration.size());

    const QStringView text = trimmedLeft(declaration, kLeadingBlanks);
    if (body.enumConstants) {
        if (model::isEnumConstantHead(normalisedDeclaration(text), body.enumName)) {
            return;
        }
        body.enumConstants = false;
    }
    if (!text.isEmpty()) {
        RecordDeclaration(text, depth, target);
    }
}

void JavaSourceScanner::RecordDeclaration(QStringView declaration, int depth,
                                          const ScanTarget &target) {
    const QString s = normalisedDeclaration(declaration);

    // A plain substring test: "subclass x" holds "class " too.
    if (const model::TypeHead type = model::typeHeadOf(s); type.kind != model::TypeKind::None) {
        const QString &name = type.name;
        if (depth < 2) {
            currentClassName = name;
            appendEntry({name});
            if (target.project) {
                target.project->AddClass(target.path, name);
            }
        } else {
            currentInnerName = name;
            appendEntry({currentClassName, name});
            if (target.project) {
                target.project->AddInnerClass(target.path, currentClassName, name);
            }
            inInnerClass = true;
        }
        if (depth + 1 < static_cast<int>(typeBodies.size())) {
            const bool isEnum = type.kind == model::TypeKind::Enum;
            typeBodies[depth + 1] = {isEnum, isEnum ? name : QString(),
                                     type.kind == model::TypeKind::Record ? name : QString(),
                                     type.components};
        }
        return;
    }

    if (model::isExpressionHead(s)) {
        return;
    }
    if (const TypeBody &body = typeBodies[depth]; model::isCompactConstructor(s, body.recordName)) {
        recordMethod(body.recordName + body.recordComponents, depth, target);
        return;
    }
    const qsizetype paren = s.indexOf(u'(');
    if (paren < 1) {
        return;
    }
    const qsizetype nameStart =
        trimmedRight(QStringView(s).left(paren), kTrailingWhiteSpace).lastIndexOf(u' ') + 1;
    const qsizetype lastClose = s.lastIndexOf(u')');
    if (lastClose < 0) {
        return;
    }
    // A ")" only before the name leaves nothing between the name's start and it.
    recordMethod(s.mid(nameStart, qMax<qsizetype>(lastClose + 1 - nameStart, 0)), depth, target);
}

void JavaSourceScanner::recordMethod(const QString &signature, int depth,
                                     const ScanTarget &target) {
    if (depth <= 2) {
        if (target.project) {
            target.project->AddMethod(target.path, currentClassName, signature);
        }
        appendEntry({currentClassName, signature});
    } else {
        if (target.project) {
            target.project->AddInnerMethod(target.path, currentClassName, currentInnerName,
                                           signature);
        }
        appendEntry({currentClassName, currentInnerName, signature});
    }
}

// Every listed entry gets its offset in the slot of the same index; once the table is full,
// further entries are not listed.
void JavaSourceScanner::appendEntry(std::initializer_list<QStringView> parts) {
    if (entryNames.size() >= kMaxEntries) {
        return;
    }
    QString entry;
    bool first = true;
    for (const QStringView part : parts) {
        if (!first) {
            entry += u'.';
        }
        entry += part;
        first = false;
    }
    entryOffsets[entryNames.size()] = declOffset;
    entryNames.append(entry);
}

int JavaSourceScanner::FindEntryOffset(const QString &entry) const {
    return entryOffset(static_cast<int>(entryNames.indexOf(entry)));
}

int JavaSourceScanner::entryOffset(int index) const {
    return (index >= 0 && index < entryNames.size()) ? entryOffsets[index] : -1;
}
