#include "editors/colourclassstore.h"

#include "editors/sourcetext.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

using editors::ColourClass;
using editors::ColourClasses;

namespace {

// Lines walked from the last looked-up line before lineAt falls back to a binary search.
constexpr int kHintWalk = 64;
// A line break between two lines counts CR and LF.
constexpr qsizetype kCrLfLength = 2;

const ColourClasses kNoClasses;

} // namespace

ColourClassStore::ColourClassStore(QTextDocument *document)
    : m_document(document) {
    reset();
    connect(document, &QTextDocument::contentsChange, this, &ColourClassStore::onContentsChange);
}

ColourClassStore::~ColourClassStore() = default;

const ColourClasses &ColourClassStore::lineClasses(int line) const {
    if (line < 0 || line >= lineCount()) {
        return kNoClasses;
    }
    return m_lines[line].classes;
}

ColourClassStore::Line ColourClassStore::makeLine(QString text, ColourClasses classes) {
    Line line{std::move(text), std::move(classes), editors::CommentMarker::None};
    line.lastMarker = editors::lastCommentMarker(line.text);
    return line;
}

ColourClassStore::PreparedLines ColourClassStore::prepareLines(const QString &editorText,
                                                               const ColourClasses &crLfClasses) {
    PreparedLines prepared;
    prepared.m_characters = editorText.size();
    prepared.m_backing = editorText;
    const auto classesFrom = [&crLfClasses](qsizetype from, qsizetype length) {
        const qsizetype size = qsizetype(crLfClasses.size());
        if (from + length > size) {
            return ColourClasses(length, ColourClass::Normal);
        }
        return ColourClasses(crLfClasses.begin() + from, crLfClasses.begin() + from + length);
    };
    qsizetype start = 0;
    qsizetype crLfStart = 0;
    for (;;) {
        const qsizetype end = editorText.indexOf(u'\n', start);
        const qsizetype length = (end < 0 ? editorText.size() : end) - start;
        // A line's text points into the whole text (a copy of each line would cost more than
        // the whole text on a large file); an edit of the line gives it a text of its own.
        prepared.m_lines.push_back(
            makeLine(QString::fromRawData(editorText.constData() + start, length),
                     classesFrom(crLfStart, length)));
        if (end < 0) {
            break;
        }
        start = end + 1;
        crLfStart += length + kCrLfLength;
    }
    return prepared;
}

bool ColourClassStore::adoptLines(PreparedLines &&prepared) {
    // The document holds one character more than its text: the end of its last block.
    if (qsizetype(prepared.m_lines.size()) != m_document->blockCount()
        || prepared.m_characters + 1 != m_document->characterCount()) {
        readAllLines();
        return false;
    }
    m_lines = std::move(prepared.m_lines);
    m_backing = std::move(prepared.m_backing);
    m_dirtyLines.clear();
    m_hint = {};
    m_textBlockKnown = 0;
    return true;
}

void ColourClassStore::reset() {
    readAllLines();
    ++m_resetCount;
}

void ColourClassStore::readAllLines() {
    m_lines.clear();
    m_lines.reserve(m_document->blockCount());
    // One copy of the whole text, cut at the block lengths, costs far less than asking each
    // block for its text.
    const QString whole = m_document->toRawText();
    qsizetype start = 0;
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        const qsizetype length = block.length() - 1;
        QString text = whole.mid(start, length);
        start += length + 1;
        ColourClasses classes(text.size(), ColourClass::Normal);
        m_lines.push_back(makeLine(std::move(text), std::move(classes)));
    }
    m_dirtyLines.clear();
    m_hint = {};
    m_textBlockKnown = 0;
    // Every line now holds a text of its own.
    m_backing = QString();
}

void ColourClassStore::onContentsChange(int position, int removed, int added) {
    if (m_ignoringChanges) {
        return;
    }
    m_hint = {};
    if (lineCount() == 1 && m_lines.front().text.isEmpty()) {
        // Text given to an empty document (a file being read): there are no classes to keep,
        // and every new character is Normal.
        readAllLines();
        return;
    }
    const QTextBlock first = m_document->findBlock(position);
    if (!first.isValid() || first.blockNumber() >= lineCount()) {
        reset();
        return;
    }
    const int firstLine = first.blockNumber();
    // Lines from the one after the first changed line on may start inside a text block or not.
    m_textBlockKnown = std::min(m_textBlockKnown, firstLine + 1);

    // The lines that held the removed characters, found from the lengths the store kept.
    const qsizetype oldEnd = qsizetype(position) + removed;
    int oldLast = firstLine;
    qsizetype lineStart = first.position();
    while (oldLast + 1 < lineCount() && lineStart + m_lines[oldLast].text.size() + 1 <= oldEnd) {
        lineStart += m_lines[oldLast].text.size() + 1;
        ++oldLast;
    }
    QTextBlock last = m_document->findBlock(position + added);
    if (!last.isValid()) {
        last = m_document->lastBlock();
    }
    const int oldSpan = oldLast - firstLine + 1;
    const int newSpan = last.blockNumber() - firstLine + 1;
    if (lineCount() - oldSpan + newSpan != m_document->blockCount()) {
        reset();
        return;
    }

    // The old and new text of those lines, joined with '\n'. The notice may name more than
    // really changed (a layout refresh names a whole block): the common beginning and end keep
    // their classes, and only the characters between them are new.
    QString oldText;
    ColourClasses oldClasses;
    for (int line = firstLine; line <= oldLast; ++line) {
        if (line > firstLine) {
            oldText += QLatin1Char('\n');
            oldClasses.push_back(ColourClass::Normal);
        }
        oldText += m_lines[line].text;
        oldClasses.insert(oldClasses.end(), m_lines[line].classes.begin(),
                          m_lines[line].classes.end());
    }
    std::vector<QString> newLines;
    newLines.reserve(newSpan);
    for (QTextBlock block = first;; block = block.next()) {
        newLines.push_back(block.text());
        if (block == last) {
            break;
        }
    }
    QString newText = newLines.front();
    for (std::size_t index = 1; index < newLines.size(); ++index) {
        newText += QLatin1Char('\n') + newLines[index];
    }

    const qsizetype oldLength = oldText.size();
    const qsizetype newLength = newText.size();
    const qsizetype shorter = std::min(oldLength, newLength);
    qsizetype prefix = 0;
    while (prefix < shorter && oldText[prefix] == newText[prefix]) {
        ++prefix;
    }
    qsizetype suffix = 0;
    while (suffix < shorter - prefix
           && oldText[oldLength - 1 - suffix] == newText[newLength - 1 - suffix]) {
        ++suffix;
    }
    ColourClasses newClasses(newLength, ColourClass::Normal);
    std::copy_n(oldClasses.begin(), prefix, newClasses.begin());
    for (qsizetype index = prefix; index < newLength - suffix; ++index) {
        if (index > 0 && newText[index - 1] != QLatin1Char('\n')) {
            newClasses[index] = newClasses[index - 1];
        }
    }
    std::copy_n(oldClasses.end() - suffix, suffix, newClasses.end() - suffix);

    const auto at = m_lines.begin() + firstLine;
    if (newSpan > oldSpan) {
        m_lines.insert(at + oldSpan, newSpan - oldSpan, Line{});
    } else {
        m_lines.erase(at + newSpan, at + oldSpan);
    }
    qsizetype from = 0;
    for (int index = 0; index < newSpan; ++index) {
        const qsizetype length = newLines[index].size();
        const auto begin = newClasses.begin() + from;
        m_lines[firstLine + index] =
            makeLine(std::move(newLines[index]), ColourClasses(begin, begin + length));
        from += length + 1;
    }
}

qsizetype ColourClassStore::crLfLineStart(int line) const {
    return m_document->findBlockByNumber(line).position() + line;
}

ColourClassStore::LinePosition ColourClassStore::lineAt(qsizetype crLfOffset) const {
    const qsizetype offset = std::max<qsizetype>(crLfOffset, 0);
    LinePosition at = m_hint.line < lineCount() ? m_hint : LinePosition{};
    if (offset >= at.crLfStart) {
        for (int step = 0; step < kHintWalk; ++step) {
            const qsizetype next = at.crLfStart + m_lines[at.line].text.size() + kCrLfLength;
            if (offset < next || at.line + 1 >= lineCount()) {
                m_hint = at;
                return at;
            }
            at = {at.line + 1, next};
        }
    }
    int low = 0;
    int high = lineCount() - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (crLfLineStart(middle) <= offset) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    m_hint = {low, crLfLineStart(low)};
    return m_hint;
}

bool ColourClassStore::applyRun(qsizetype from, qsizetype to, ColourClass colourClass) {
    if (from >= to) {
        return false;
    }
    LinePosition at = lineAt(from);
    bool changed = false;
    for (; at.line < lineCount() && at.crLfStart < to; ++at.line) {
        Line &line = m_lines[at.line];
        const qsizetype begin = std::max(from, at.crLfStart) - at.crLfStart;
        const qsizetype end = std::min(to, at.crLfStart + line.text.size()) - at.crLfStart;
        if (begin < end) {
            const auto first = line.classes.begin() + begin;
            const auto last = line.classes.begin() + end;
            if (std::any_of(first, last,
                            [colourClass](ColourClass c) { return c != colourClass; })) {
                std::fill(first, last, colourClass);
                line.drawn = false;
                if (m_dirtyLines.empty() || m_dirtyLines.back() != at.line) {
                    m_dirtyLines.push_back(at.line);
                }
                changed = true;
            }
        }
        m_hint = at;
        at.crLfStart += line.text.size() + kCrLfLength;
    }
    return changed;
}

std::vector<int> ColourClassStore::takeDirtyLines() {
    std::vector<int> lines = std::move(m_dirtyLines);
    m_dirtyLines.clear();
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

bool ColourClassStore::isOpenAtLineStart(int line) const {
    for (int above = std::min(line, lineCount()) - 1; above >= 0; --above) {
        if (m_lines[above].lastMarker != editors::CommentMarker::None) {
            return m_lines[above].lastMarker == editors::CommentMarker::Open;
        }
    }
    return false;
}

bool ColourClassStore::isInTextBlockAtLineStart(int line) const {
    if (line <= 0 || lineCount() == 0) {
        return false;
    }
    line = std::min(line, lineCount() - 1);
    m_textBlockOpen.resize(m_lines.size());
    if (m_textBlockKnown == 0) {
        m_textBlockOpen[0] = false;
        m_textBlockKnown = 1;
    }
    for (int next = m_textBlockKnown; next <= line; ++next) {
        const QString &above = m_lines[next - 1].text;
        const bool open = m_textBlockOpen[next - 1];
        // Only a line with three quotes can open or close a text block.
        m_textBlockOpen[next] =
            above.contains(QStringLiteral("\"\"\""))
                ? editors::textBlockOpenAfterLine(editors::toCrLfText(above), open)
                : open;
    }
    m_textBlockKnown = std::max(m_textBlockKnown, line + 1);
    return m_textBlockOpen[line];
}
