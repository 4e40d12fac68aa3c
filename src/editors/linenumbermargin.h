#pragma once

#include "tools/messagelocation.h"

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>

class BreakpointMarks;
class LineMarks;
class QPlainTextEdit;

// The line numbers beside the text of an editor: a strip left of the edit's viewport that shows
// the 1-based number of every visible line in the edit's font, following scrolling and edits.
// One switch, the line-numbers setting, turns the margins of every editor on or off together.
//
// An editor whose lines the compiler marks gives the margin its marks: while there are any, a
// narrow strip at the margin's left shows a mark beside each marked line, a red dot for a line
// with an error, an amber triangle for one with warnings only, and the line's messages as the
// tooltip of its row. The strip is there whether the numbers are shown or not, and only while
// there are marks, so an editor without them looks as it always did.
//
// An editor with breakpoints gives the margin its breakpoint marks: while the text has
// breakpoints, or the debugged program is stopped in it, a strip at the margin's very left shows
// a red circle beside each line with a breakpoint and a yellow arrow at the line the program is
// stopped at. A click with the left button anywhere in the margin sets or clears the breakpoint
// of the line beside it.
//
// The edit reserves the margin itself (setViewportMargins is the edit's own), through the
// function it gives, which gets the width to keep free: 0 while the margin is hidden.
class LineNumberMargin : public QWidget {
    Q_OBJECT

public:
    using MarginSetter = std::function<void(int width)>;

    // Puts a margin on edit, shown when the switch is on; the edit owns it.
    static LineNumberMargin *attach(QPlainTextEdit *edit, MarginSetter setMargin);
    // Sets the switch and turns the margins of every editor on or off.
    static void showEverywhere(bool shown);
    static bool shownEverywhere();

    // Shows these marks in the strip, following their changes; the marks outlive the margin or
    // tell it when they go.
    void setLineMarks(LineMarks *marks);
    // Shows these breakpoints and lets a click toggle them; they outlive the margin or tell it
    // when they go.
    void setBreakpoints(BreakpointMarks *breakpoints);

    static const QColor kErrorMarkColour;
    static const QColor kWarningMarkColour;
    static const QColor kBreakpointColour;
    static const QColor kExecutionColour;

    // The width the margin takes now: the numbers for the edit's line count while they are
    // shown, and the mark strip while there are marks. 0 when it shows neither.
    int neededWidth() const;
    // The 1-based line numbers the margin paints now, top to bottom.
    QList<int> visibleNumbers() const;
    // The marks the strip paints now, top to bottom: each one's 1-based line and the rectangle
    // in the margin it is painted in.
    struct ShownMark {
        int line = 0;
        CompilerMessageKind kind = CompilerMessageKind::None;
        QRect area;
    };
    QList<ShownMark> visibleMarks() const;
    // The breakpoints and the execution arrow the margin paints now, top to bottom.
    struct ShownBreakpoint {
        int line = 0;
        bool breakpoint = false;
        bool execution = false;
        QRect area;
    };
    QList<ShownBreakpoint> visibleBreakpoints() const;
    // The 1-based line beside y, or 0 for none.
    int lineAt(int y) const;
    // The tooltip of the margin's row at y: the messages of the line there, or "" for a line
    // without marks. row, when given, gets the row's rectangle.
    QString toolTipAt(int y, QRect *row = nullptr) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    LineNumberMargin(QPlainTextEdit *edit, MarginSetter setMargin);
    void applySwitch();
    bool numbersShown() const;
    int markStripWidth() const;
    int breakpointStripWidth() const;
    void place();
    // Calls visit(number, top, height) for each visible line, in viewport coordinates.
    void forEachVisibleLine(const std::function<void(int, int, int)> &visit) const;

    QPlainTextEdit *m_edit;
    MarginSetter m_setMargin;
    QPointer<LineMarks> m_marks;
    QPointer<BreakpointMarks> m_breakpoints;
};
