#pragma once

#include <QtGlobal>

class OutputText;
class QElapsedTimer;
class QPlainTextEdit;

// Brings a text edit in line with an OutputText, a slice at a time, so that a text that grows
// by megabytes never keeps the user-interface thread for long. Once caught up the edit shows
// the text exactly: block n of the edit is line n of text(). The edit shows a prefix of the
// text while it catches up, with the lines the text has dropped from its tail removed first.
//
// The edit must not be changed by anything else between restart() and the calls of place().
class OutputPlacer {
public:
    OutputPlacer();

    // Empties the edit: nothing of any text is placed.
    void restart(QPlainTextEdit &edit);
    // Places slices of text into edit until it is caught up or budgetMs since clock started have
    // passed (at least one slice). Ends with the caret at the end of the edit, scrolled into view,
    // when anything was placed. Returns whether the edit changed.
    bool place(const OutputText &text, QPlainTextEdit &edit, const QElapsedTimer &clock,
               qint64 budgetMs);
    bool isCaughtUp(const OutputText &text) const;

private:
    // Removes the edit's tail lines the text no longer holds, and shows the marker line.
    void followTail(const OutputText &text, QPlainTextEdit &edit);
    void placeSlice(const OutputText &text, QPlainTextEdit &edit);

    // Where placing goes on: the line of the text, and how many of its characters the edit shows.
    qint64 m_line = 0;
    qsizetype m_chars = 0;
    // The first tail line the edit shows once it has passed the head.
    qint64 m_editTailFirst = 0;
    // The count of left-out lines the edit's marker line tells; 0 while there is no marker.
    qint64 m_markerCount = 0;
    // Characters placed at a time, fitted to what placing them costs.
    qsizetype m_slice;
};
