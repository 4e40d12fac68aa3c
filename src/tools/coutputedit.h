#pragma once

#include <QList>
#include <QPlainTextEdit>

class QAction;
class QMenu;

// The text of the output window: read-only, never wrapped, with both scroll bars. Each line of
// the edit is one line of the captured output. A double-click selects the word under the pointer
// as usual and then reports the 0-based line that holds the start of the selection. Its context
// menu holds the usual copy entries followed by the window menu's commands.
class COutputEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit COutputEdit(QWidget *parent = nullptr);
    ~COutputEdit() override;

    // Appended to the context menu after a separator.
    void setWindowMenuActions(const QList<QAction *> &actions);
    // The context menu as it pops up; the caller owns it.
    QMenu *createContextMenu();
    // The 0-based line that holds the caret or the start of the selection.
    int selectionLine() const;

Q_SIGNALS:
    void lineDoubleClicked(int line);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    // Keeps whatever font is set laid out without shaping.
    void changeEvent(QEvent *event) override;
    // A change of width does not lay out again the lines of a long output.
    void resizeEvent(QResizeEvent *event) override;
    // Error and warning lines on screen take their colours before they are painted.
    void paintEvent(QPaintEvent *event) override;

private:
    QList<QAction *> m_windowMenuActions;
};
