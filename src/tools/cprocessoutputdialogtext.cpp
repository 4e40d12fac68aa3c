#include "tools/cprocessoutputdialog.h"

#include "tools/coutputedit.h"
#include "tools/processoutputwindow.h"
#include "tools/processrunner.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// How the output window follows a run: it takes the run's output in bounded stretches by
// position and places them in the window a budget at a time, resting between calls in
// proportion to their work, so that a flood of output neither fills memory nor the thread.

namespace {

// A budget per call keeps every timer call far below 50 ms.
constexpr qint64 kPlacingBudgetMs = 15;
// While a run is watched, new text is taken between ticks this often, at most kRunningTake bytes
// at a time (the latest lines the window keeps, when they are of a usual length); a window
// further behind passes over the rest. Once the run is over its end is taken at once, up to the
// bytes the latest lines the window keeps can hold.
constexpr int kPollPeriodMs = 20;
constexpr qsizetype kRunningTake = 512 * 1024;
constexpr qsizetype kFinalTake = 4 * 1024 * 1024;
// After a call that worked, the window rests this many times as long as the call took (but no
// longer than kLongestRestMs), so that a flood of output takes a bounded share of the thread.
constexpr qint64 kRestFactor = 5;
constexpr qint64 kLongestRestMs = 200;

} // namespace

void CProcessOutputDialog::resetShownText(quint64 run) {
    m_shownText.reset();
    m_run = run;
    m_takenPosition = 0;
    m_takenLines = 0;
    m_runOver = false;
    if (m_window) {
        m_placer.restart(*m_window->outputEdit());
    }
}

void CProcessOutputDialog::showRunOutput() {
    resetShownText(kNoRun);
    m_endTakenWhole = false;
    takeNewOutput();
}

void CProcessOutputDialog::takeNewOutput() {
    // Nothing is passed over while the first lines are still wanted.
    const auto takeFrom = [this](qint64 position, qsizetype take) {
        return ProcessOutputFrom(position, take, m_shownText.isHeadClosed());
    };
    qsizetype take = kRunningTake;
    ProcessOutputStretch stretch = takeFrom(m_takenPosition, take);
    if (stretch.run != m_run) {
        // A run this window was not told about: its output from the start.
        resetShownText(stretch.run);
        m_endTakenWhole = false;
        stretch = takeFrom(0, take);
    }
    for (;;) {
        const bool passedOver = stretch.from > m_takenPosition;
        if (!stretch.running && take < kFinalTake && (passedOver || stretch.end < stretch.size)) {
            // The run is over: the rest is taken now, its end as far as the window keeps lines.
            take = kFinalTake;
            stretch = takeFrom(m_takenPosition, take);
        }
        takeStretch(stretch);
        if (stretch.running || stretch.end >= stretch.size) {
            break;
        }
        stretch = takeFrom(m_takenPosition, take);
    }
    const qint64 tailLines = m_shownText.lineCount() - m_shownText.tailFirst();
    if (m_runOver && !m_endTakenWhole && m_shownText.leftOutLines() > 0
        && tailLines < m_shownText.limits().tailLines) {
        // Output was passed over near the end of the run: the window takes the run's text
        // again, so that it ends with as many of the latest lines as it keeps.
        m_endTakenWhole = true;
        resetShownText(m_run);
        takeNewOutput();
    }
}

void CProcessOutputDialog::takeStretch(const ProcessOutputStretch &stretch) {
    if (stretch.from > m_takenPosition) {
        m_shownText.leaveOut(stretch.linesBefore - m_takenLines, stretch.from - m_takenPosition);
        m_takenLines = stretch.linesBefore;
    }
    m_shownText.append(stretch.added);
    m_takenLines += std::count(stretch.added.cbegin(), stretch.added.cend(), '\n');
    m_takenPosition = stretch.end;
    m_runOver = !stretch.running && stretch.end >= stretch.size;
}

void CProcessOutputDialog::pump() {
    QElapsedTimer clock;
    clock.start();
    if (!m_window) {
        return;
    }
    if (isWatching()) {
        takeNewOutput();
    }
    m_placer.place(m_shownText, *m_window->outputEdit(), clock, kPlacingBudgetMs);
    finishIfRunOver();
    // Once the run is over what is left to place is bounded: it is placed without rests.
    const int rest = m_runOver ? 0 : int(std::min(clock.elapsed() * kRestFactor, kLongestRestMs));
    if (!m_placer.isCaughtUp(m_shownText)) {
        m_pumpTimer->start(rest);
    } else if (isWatching()) {
        m_pumpTimer->start(std::max(kPollPeriodMs, rest));
    }
}

void CProcessOutputDialog::showEndSoon() {
    // The exit line follows an abort within milliseconds: it is looked for without waiting
    // out a rest that a flood of output made long.
    if (isWatching()) {
        m_pumpTimer->start(kPollPeriodMs);
    }
}
