#include "tools/outputtext.h"

#include <algorithm>

namespace {

// The characters of a long line shown after the note: where a tool that printed no final line
// end has its exit line.
constexpr qsizetype kLineEndChars = 100;

// A text edit starts a new block at these as at a line end.
bool breaksBlock(QChar character) {
    const char16_t code = character.unicode();
    return code == QChar::ParagraphSeparator || code == 0xfdd0 || code == 0xfdd1;
}

QString notShownNote(qint64 notShown, qint64 length) {
    return QStringLiteral(" [... %1 of the line's %2 characters not shown ...] ")
        .arg(notShown)
        .arg(length);
}

} // namespace

OutputText::OutputText(const OutputTextLimits &limits)
    : m_limits(limits)
    , m_decoder(QStringDecoder::Utf8) {}

void OutputText::reset() {
    m_decoder.resetState();
    m_lastWasCr = false;
    m_head.clear();
    m_tail.clear();
    m_tailFirst = 0;
    m_headChars = 0;
    m_tailChars = 0;
    m_headClosed = false;
    m_lineOpen = false;
    m_openLength = 0;
    m_openEnd.clear();
    ++m_changeCount;
}

void OutputText::append(QByteArrayView bytes) {
    if (bytes.isEmpty()) {
        return;
    }
    m_changeCount += bytes.size();
    QString decoded = m_decoder.decode(bytes);
    if (std::any_of(decoded.cbegin(), decoded.cend(), breaksBlock)) {
        std::replace_if(decoded.begin(), decoded.end(), breaksBlock, QChar::ReplacementCharacter);
    }
    QStringView rest(decoded);
    if (m_lastWasCr && rest.startsWith(u'\n')) {
        rest = rest.sliced(1); // the LF of a CR LF pair whose CR ended the last append
    }
    m_lastWasCr = false;
    while (!rest.isEmpty()) {
        const auto end = std::find_if(rest.begin(), rest.end(), [](QChar character) {
            return character == u'\n' || character == u'\r';
        });
        const qsizetype length = end - rest.begin();
        if (length > 0) {
            appendToLine(rest.first(length));
        }
        if (end == rest.end()) {
            break;
        }
        endLine();
        const bool crLf = *end == u'\r' && length + 1 < rest.size() && rest[length + 1] == u'\n';
        m_lastWasCr = *end == u'\r' && length + 1 == rest.size();
        rest = rest.sliced(length + (crLf ? 2 : 1));
    }
}

void OutputText::leaveOut(qint64 lines, qint64 characters) {
    ++m_changeCount;
    m_decoder.resetState();
    m_lastWasCr = false;
    if (lines <= 0) {
        if (m_lineOpen) {
            m_openLength += characters;
        }
        return;
    }
    if (m_lineOpen) {
        endLine();
        --lines; // the line end that ended it was among those left out
    }
    m_headClosed = true;
    m_tailFirst += qint64(m_tail.size()) + lines;
    m_tail.clear();
    m_tailChars = 0;
}

const QString &OutputText::line(qint64 index) const {
    Q_ASSERT(index >= 0 && index < lineCount());
    if (index < headLineCount()) {
        return m_head[std::size_t(index)];
    }
    Q_ASSERT(index >= m_tailFirst);
    return m_tail[std::size_t(index - m_tailFirst)];
}

QString OutputText::markerText() const {
    const qint64 count = leftOutLines();
    return QStringLiteral("... %1 %2 of output left out ...")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("line") : QStringLiteral("lines"));
}

QString OutputText::text() const {
    QString result;
    result.reserve(m_headChars + m_tailChars + headLineCount() + qsizetype(m_tail.size()) + 64);
    const auto add = [&](const QString &line) {
        result += line;
        result += u'\n';
    };
    std::for_each(m_head.begin(), m_head.end(), add);
    if (leftOutLines() > 0) {
        add(markerText());
    }
    std::for_each(m_tail.begin(), m_tail.end(), add);
    if (m_lineOpen) {
        result.chop(1);
    }
    return result;
}

void OutputText::appendToLine(QStringView part) {
    if (!m_lineOpen) {
        beginLine();
    }
    QString &line = lastLine();
    m_openLength += part.size();
    const qsizetype room = std::max<qsizetype>(0, m_limits.lineChars - line.size());
    if (room > 0) {
        const QStringView shown = part.first(std::min(room, part.size()));
        line += shown;
        countChars(shown.size());
        part = part.sliced(shown.size());
    }
    if (part.isEmpty()) {
        return;
    }
    if (part.size() >= kLineEndChars) {
        m_openEnd = part.last(kLineEndChars).toString();
    } else {
        m_openEnd += part;
        m_openEnd.remove(0, std::max<qsizetype>(0, m_openEnd.size() - kLineEndChars));
    }
}

void OutputText::beginLine() {
    const bool headHasRoom =
        qsizetype(m_head.size()) < m_limits.headLines && m_headChars < m_limits.headChars;
    if (!m_headClosed && headHasRoom) {
        m_head.emplace_back();
        m_tailFirst = headLineCount();
    } else {
        m_headClosed = true;
        m_tail.emplace_back();
        trimTail();
    }
    m_lineOpen = true;
    m_openLength = 0;
    m_openEnd.clear();
}

void OutputText::endLine() {
    if (!m_lineOpen) {
        beginLine(); // an empty line
    }
    QString &line = lastLine();
    const qint64 notShown = m_openLength - line.size() - m_openEnd.size();
    if (notShown > 0) {
        const QString note = notShownNote(notShown, m_openLength);
        line += note;
        countChars(note.size());
    }
    line += m_openEnd;
    countChars(m_openEnd.size());
    m_openEnd.clear();
    m_lineOpen = false;
    trimTail();
}

QString &OutputText::lastLine() {
    return m_tail.empty() ? m_head.back() : m_tail.back();
}

void OutputText::countChars(qsizetype added) {
    (m_tail.empty() ? m_headChars : m_tailChars) += added;
}

void OutputText::trimTail() {
    while (m_tail.size() > 1
           && (qsizetype(m_tail.size()) > m_limits.tailLines || m_tailChars > m_limits.tailChars)) {
        m_tailChars -= m_tail.front().size();
        m_tail.pop_front();
        ++m_tailFirst;
    }
}
