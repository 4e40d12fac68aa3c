#include "tools/lineends.h"
#include "tools/runnerstate.h"

#include <algorithm>
#include <cstring>

// The captured output of the run: kept within its limits as it grows, and handed to the output
// window in stretches by position.

namespace {

bool isContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xc0) == 0x80;
}

// How far a cut may move back to fall at a line start.
constexpr qsizetype kLineSearch = 4096;

// The position after the last LF in the kLineSearch bytes before `at`, or -1.
qsizetype lineStartBefore(const QByteArray &text, qsizetype at) {
    const qsizetype from = std::max<qsizetype>(0, at - kLineSearch);
    const void *found = memrchr(text.constData() + from, '\n', static_cast<size_t>(at - from));
    return found ? static_cast<const char *>(found) - text.constData() + 1 : -1;
}

// A place to cut the text at, at or shortly before `at`: after a line end if one is near, else
// at the start of a character, and never between a CR and its LF.
qsizetype cutNear(const QByteArray &text, qsizetype at) {
    if (const qsizetype lineStart = lineStartBefore(text, at); lineStart > 0) {
        return lineStart;
    }
    // A character has at most three continuation bytes; more are no character anyway.
    qsizetype cut = at;
    while (cut > at - 3 && cut > 1 && isContinuationByte(text.at(cut))) {
        --cut;
    }
    return cut > 1 && text.at(cut - 1) == '\r' && text.at(cut) == '\n' ? cut - 1 : cut;
}

} // namespace

namespace runner {

void keepOutputBounded(RunnerState &state) {
    QByteArray &text = state.processOutput;
    const CapturedOutputLimits &limits = state.runLimits;
    if (state.headEnd < 0) {
        if (text.size() <= limits.head + limits.tail + limits.slack) {
            return;
        }
        state.headEnd = cutNear(text, limits.head);
        state.tailStart = state.headEnd;
    } else if (text.size() - state.tailStart <= limits.tail + limits.slack) {
        return;
    }
    const qsizetype cut = std::max(cutNear(text, text.size() - limits.tail), state.tailStart);
    state.leftOut += cut - state.tailStart;
    state.leftOutLines += std::count(text.cbegin() + state.tailStart, text.cbegin() + cut, '\n');
    const char last = state.headEnd > 0 ? text.at(state.headEnd - 1) : '\n';
    const QByteArray marker = (last == '\n' || last == '\r' ? QByteArray() : "\r\n")
                              + QByteArray("... ") + QByteArray::number(state.leftOut)
                              + " bytes of output left out ...\r\n";
    text.replace(state.headEnd, cut - state.headEnd, marker);
    state.tailStart = state.headEnd + marker.size();
    ++state.generation;
}

} // namespace runner

using runner::RunnerState;
using runner::runnerState;

ProcessOutputUpdate ProcessOutputSince(qsizetype shownLength) {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    const QByteArray &text = state.processOutput;
    const qsizetype from = std::clamp<qsizetype>(shownLength, 0, text.size());
    // A deep copy: sharing the buffer would make the reader's next append copy the whole text.
    return {QByteArray(text.constData() + from, text.size() - from), text.size(),
            state.processRunning, state.generation};
}

QByteArray ProcessOutputText(bool *running, quint64 *generation, quint64 *run) {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    if (running) {
        *running = state.processRunning;
    }
    if (generation) {
        *generation = state.generation;
    }
    if (run) {
        *run = state.runNumber;
    }
    return QByteArray(state.processOutput.constData(), state.processOutput.size());
}

namespace {

// The whole output of the run as appended, of which processOutput keeps a head and a tail with a
// marker line between: stream positions and where they are kept. Read under the lock.
class OutputStream {
public:
    explicit OutputStream(const RunnerState &state)
        : m_state(state)
        , m_text(state.processOutput)
        , m_cut(state.headEnd >= 0)
        , m_markerSize(m_cut ? state.tailStart - state.headEnd : 0) {}

    qint64 size() const { return m_text.size() - m_markerSize + m_state.leftOut; }
    bool isCut() const { return m_cut; }
    // The end of the kept head, where output was left out; the size when nothing was.
    qint64 headEnd() const { return m_cut ? m_state.headEnd : size(); }
    // The first position kept after the marker line.
    qint64 tailStart() const { return m_cut ? m_state.headEnd + m_state.leftOut : 0; }
    qsizetype indexOf(qint64 position) const {
        return qsizetype(position < headEnd() ? position
                                              : position - m_state.leftOut + m_markerSize);
    }
    // The line ends before a kept position.
    qint64 linesBefore(qint64 position) const {
        const auto count = [this](qsizetype from, qsizetype to) {
            return qint64(std::count(m_text.cbegin() + from, m_text.cbegin() + to, '\n'));
        };
        if (position <= headEnd()) {
            return count(0, qsizetype(position));
        }
        return count(0, m_state.headEnd) + m_state.leftOutLines
               + count(m_state.tailStart, indexOf(position));
    }
    // The first line start in the kLineSearch bytes from a kept position, else the first
    // character start from it.
    qint64 lineStartFrom(qint64 position) const {
        const qsizetype index = indexOf(position);
        const qsizetype searched = std::min<qsizetype>(kLineSearch, m_text.size() - index);
        if (const void *found = memchr(m_text.constData() + index, '\n', size_t(searched))) {
            return position + (static_cast<const char *>(found) - m_text.constData() - index) + 1;
        }
        qint64 start = position;
        while (start < size() && isContinuationByte(m_text.at(indexOf(start)))) {
            ++start;
        }
        return start;
    }

private:
    const RunnerState &m_state;
    const QByteArray &m_text;
    const bool m_cut;
    const qsizetype m_markerSize;
};

} // namespace

ProcessOutputStretch ProcessOutputFrom(qint64 position, qsizetype maxBytes, bool passOver) {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    const OutputStream stream(state);
    qint64 from = std::clamp<qint64>(position, 0, stream.size());
    qint64 limit = stream.size();
    if (stream.isCut() && from < stream.headEnd()) {
        limit = stream.headEnd(); // the head is handed out whole, in pieces
    } else {
        from = std::max(from, stream.tailStart());
        if (passOver && limit - from > maxBytes) {
            from = stream.lineStartFrom(limit - maxBytes);
        }
    }
    const qint64 end = std::min(limit, from + maxBytes);
    const qsizetype index = stream.indexOf(from);
    return {QByteArray(state.processOutput.constData() + index, qsizetype(end - from)),
            from,
            end,
            from > position ? stream.linesBefore(from) : -1,
            stream.size(),
            state.processRunning,
            state.runNumber};
}

void SetCapturedOutputLimits(const CapturedOutputLimits &limits) {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    state.limits = limits;
}

CapturedOutputLimits CapturedOutputLimitsInUse() {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    return state.limits;
}
