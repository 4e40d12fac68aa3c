#pragma once

#include "tools/programinputline.h"

#include <QDialog>

class COutputEdit;
class QLineEdit;
class QPushButton;
class QMenu;
class QProgressBar;
class QToolButton;

// The "Process Output" window: a top strip with the progress bar, the caption field and the
// window-menu button at fixed places, and the output edit filling the rest from y = 22 down.
// The window only shows and reports; the output window object (CProcessOutputDialog) decides
// what a close request, a window-menu command or a double-clicked line does. A close request
// (close box, Alt+F4, Escape) never closes the window by itself.
//
// While a run that takes input is watched, an input row below the edit holds the input line and
// the "Close Input" button: Enter in the line reports the line typed, the button or Ctrl+D in the
// line reports that the input is to close.
class ProcessOutputWindow : public QDialog {
    Q_OBJECT

public:
    // Window-menu commands.
    static constexpr int kSaveAsCommand = 101;
    static constexpr int kFontCommand = 102;
    // The top of the output edit: the height of the strip above it.
    static constexpr int kEditTop = 22;
    static constexpr int kProgressMaximum = 100;
    // The height of the input row while it is shown.
    static constexpr int kInputRowHeight = 24;

    explicit ProcessOutputWindow(QWidget *owner);
    ~ProcessOutputWindow() override;

    COutputEdit *outputEdit() const { return m_outputEdit; }
    QProgressBar *progressBar() const { return m_progressBar; }
    QLineEdit *captionField() const { return m_captionField; }
    QLineEdit *inputLine() const { return m_inputLine; }
    QPushButton *closeInputButton() const { return m_closeInputButton; }
    // Beside the input row: asks, as closing the window does while a run lasts, whether to
    // stop the program, and the window stays.
    QPushButton *stopButton() const { return m_stopButton; }
    // The window menu, offered by the strip's menu button and the edit's context menu.
    QMenu *windowMenu() const { return m_windowMenu; }

    void setCaption(const QString &caption);
    void setProgress(int value);
    // Advances the progress bar by one step, starting again from 0 after passing the maximum.
    void stepProgress();
    // Shows the input row (empty, enabled and focused, with the Stop button) or hides it.
    void showInput(bool shown);
    // Keeps the row shown but takes no more input.
    void disableInput();
    bool isInputShown() const;

Q_SIGNALS:
    // From the destructor, however the window goes (with its owner, for instance).
    void destroying(const QRect &place);
    void closeRequested();
    void windowMenuCommand(int id);
    void lineDoubleClicked(int line);
    void inputEntered(const QString &line);
    void inputCloseRequested();

public Q_SLOTS:
    // Escape asks to close, as the close box does, rather than hiding the window.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void addWindowMenuCommand(int id, const QString &text);
    void placeChildren();

    QProgressBar *m_progressBar = nullptr;
    QLineEdit *m_captionField = nullptr;
    QToolButton *m_menuButton = nullptr;
    QMenu *m_windowMenu = nullptr;
    COutputEdit *m_outputEdit = nullptr;
    ProgramInputLine *m_inputLine = nullptr;
    QPushButton *m_closeInputButton = nullptr;
    QPushButton *m_stopButton = nullptr;
};
