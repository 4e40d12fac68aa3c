#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <deque>
#include <vector>

// How much of a run's output the output window keeps as lines: the first lines (the head), the
// latest lines (the tail), each bounded in lines and in characters, and every line shown up to
// a number of characters.
struct OutputTextLimits {
    qsizetype headLines = 1000;
    qsizetype headChars = 1'000'000;
    qsizetype tailLines = 10'000;
    qsizetype tailChars = 4'000'000;
    qsizetype lineChars = 10'000;
};

// The text of a tool run as the output window shows it, as numbered lines. The captured bytes
// are decoded as UTF-8 as they come (a character split between two appends comes out whole) and
// every line end, a CR LF pair (even one split between appends), a lone CR or a lone LF, ends a
// line.
//
// Lines 0 .. headLineCount() - 1 are the head: the first lines, until a line would pass the head's
// bounds. Lines tailFirst() .. lineCount() - 1 are the tail: the latest lines, the oldest dropped
// whenever the tail passes its bounds (never the last line). Lines between the two are left out;
// the text then shows one marker line between head and tail saying how many. A line longer than
// lineChars shows its first lineChars characters, and once it has ended a note of how many were
// not shown and its last characters (where the exit line stands when the tool printed no line
// end). Characters that would break a line in a text edit without being a line end are shown
// as U+FFFD, so that line numbers of the text and of an edit showing it agree.
//
// A line only ever grows at its end, and lines only ever leave from the start of the tail: an
// edit that shows the text can follow it by appending and by removing tail lines.
class OutputText {
public:
    explicit OutputText(const OutputTextLimits &limits = {});

    const OutputTextLimits &limits() const { return m_limits; }

    // Empties the text.
    void reset();
    void append(QByteArrayView bytes);
    // Lines of output that never reached the text (the runner left them out): the line in
    // progress ends, the tail so far and `lines` more lines count as left out, and the text goes
    // on with a new line. With no line left out (a cut inside one long line), `characters` count
    // as characters of the line in progress.
    void leaveOut(qint64 lines, qint64 characters);

    qint64 lineCount() const { return m_tailFirst + qint64(m_tail.size()); }
    qint64 headLineCount() const { return qint64(m_head.size()); }
    qint64 tailFirst() const { return m_tailFirst; }
    qint64 leftOutLines() const { return m_tailFirst - headLineCount(); }
    // Whether no more lines go to the head.
    bool isHeadClosed() const { return m_headClosed; }
    // Whether the last line may still grow: no line end has come after it.
    bool isLastLineOpen() const { return m_lineOpen; }
    // The shown text of a kept line.
    const QString &line(qint64 index) const;
    // The line between head and tail while lines are left out.
    QString markerText() const;
    // The whole shown text: kept lines and marker, each ended by '\n' except an open last line.
    QString text() const;
    // Grows with every change of the text.
    qint64 changeCount() const { return m_changeCount; }

private:
    void appendToLine(QStringView part);
    void beginLine();
    void endLine();
    QString &lastLine();
    void countChars(qsizetype added);
    void trimTail();

    OutputTextLimits m_limits;
    QStringDecoder m_decoder;
    bool m_lastWasCr = false;
    std::vector<QString> m_head;
    std::deque<QString> m_tail;
    qint64 m_tailFirst = 0;
    qsizetype m_headChars = 0;
    qsizetype m_tailChars = 0;
    bool m_headClosed = false;
    bool m_lineOpen = false;
    // The last line while it is open: its whole length, and its latest characters once it is
    // longer than it is shown.
    qint64 m_openLength = 0;
    QString m_openEnd;
    qint64 m_changeCount = 0;
};
