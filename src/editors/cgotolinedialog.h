#pragma once

#include <QDialog>

#include <functional>

class QPlainTextEdit;
class QSpinBox;

namespace fw {
class CommandTarget;
}

// The "Go to Line" dialog of the Edit menu: asks for a line number between 1 and the number of
// lines of the window, starting from the caret's line.
class CGoToLineDialog : public QDialog {
    Q_OBJECT

public:
    // currentLine and the answer are 1-based, as the user counts lines.
    CGoToLineDialog(int lineCount, int currentLine, QWidget *parent);
    ~CGoToLineDialog() override;

    int lineNumber() const;
    QSpinBox *lineField() const { return m_lineField; }

private:
    QSpinBox *m_lineField = nullptr;
};

namespace editors {

// Selects a 0-based line of the editor, from its first character to its end, as a source
// window's GoToLine does; a line outside the text selects the nearest one.
void selectLine(QPlainTextEdit &editor, int line);

// Puts the caret (no selection) on a 0-based line at a 1-based column; a column beyond the
// line's end puts it at the end.
void placeCaret(QPlainTextEdit &editor, int line, int column);

// Gives a text view Edit > "Go to Line...": the dialog asks for a number and goTo receives it
// as a 0-based line. Without goTo, the editor jumps to the line (editors::jumpToLine).
void installGoToLineCommand(fw::CommandTarget &target, QPlainTextEdit &editor,
                            std::function<void(int)> goTo = {});

} // namespace editors
