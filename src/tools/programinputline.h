#pragma once

#include <QClipboard>
#include <QLineEdit>

// The line where the user types input for a running program. Text pasted or dropped into it
// goes in as if typed: each line end in it sends the line it ends (with what stood before the
// caret), at once and however many lines there are; what follows the last line end stays in
// the line. A line longer than the line holds (kLongestLine characters) is not cut without a
// word: the user is told how many characters were left out.
class ProgramInputLine : public QLineEdit {
    Q_OBJECT

public:
    static constexpr int kLongestLine = 32767;

    explicit ProgramInputLine(QWidget *parent = nullptr);

    // Puts text in at the caret as a paste does.
    void insertPasted(const QString &text);

Q_SIGNALS:
    // Complete lines pasted, joined by '\n' (no line end after the last).
    void linesPasted(const QString &lines);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void pasteFrom(QClipboard::Mode mode);
};
