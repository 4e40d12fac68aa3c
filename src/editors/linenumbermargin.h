#pragma once

#include <QWidget>

#include <functional>

class QPlainTextEdit;

// The line numbers beside the text of an editor: a strip left of the edit's viewport that shows
// the 1-based number of every visible line in the edit's font, following scrolling and edits.
// One switch, the line-numbers setting, turns the margins of every editor on or off together.
//
// The edit reserves the strip itself (setViewportMargins is the edit's own), through the
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

    // The width the margin needs for the edit's line count, while it is shown.
    int neededWidth() const;
    // The 1-based line numbers the margin paints now, top to bottom.
    QList<int> visibleNumbers() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LineNumberMargin(QPlainTextEdit *edit, MarginSetter setMargin);
    void applySwitch();
    void place();
    // Calls visit(number, top, height) for each visible line, in viewport coordinates.
    void forEachVisibleLine(const std::function<void(int, int, int)> &visit) const;

    QPlainTextEdit *m_edit;
    MarginSetter m_setMargin;
};
