#pragma once

#include "services/appsettings.h"
#include "tools/outputtext.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class CProcessRunner;
class OutputWindowListener;
class ProcessOutputWindow;
class QElapsedTimer;
class QRect;
class QTimer;
class QWidget;

// The project's output window object: it lives as long as the project document; its window
// exists only while shown. It owns the runner of the tool run it watches and keeps its own copy
// of the captured output (the shown text, the bytes of processOutput taken so far), which stays
// after the window is destroyed.
//
// While a run is watched, a 200 ms timer animates the progress bar and the status-bar message,
// and the text added to processOutput is taken, at every tick and between ticks, often enough
// that no take copies much. Taken text is placed into the edit in slices within a time budget
// per call, so that even a run printing many megabytes keeps the window responsive; the edit
// always shows a prefix of the shown text. The run is over once the running flag read together
// with the last new text was false and everything taken has been placed: the window then shows
// "External process complete", stops its timer, drops the runner and tells runFinished. When output
// is left out of the captured text of a run that prints without end, the window takes the text
// afresh.
//
// A run started with input gets the window's input row while it is watched: the lines typed
// there go to the program and show in the output as the program's console would show them.
class CProcessOutputDialog : public QObject {
    Q_OBJECT

public:
    static constexpr int kTimerPeriodMs = 200;

    CProcessOutputDialog();
    ~CProcessOutputDialog() override;

    // Makes and shows the window, watching the run (none: only the last run's text). On a window
    // that is already open it restarts it with the run.
    void Open(std::unique_ptr<CProcessRunner> runner, OutputWindowListener *view);
    // Gives an open window a new run to watch (opens the window when it is not open).
    bool Restart(std::unique_ptr<CProcessRunner> runner, OutputWindowListener *view);
    // A run that could not be started: an open window that watches no run shows its command
    // line and the text instead of the output of the run before.
    void ShowStartFailure(const QString &commandLine, const QString &folder, const QString &text);
    // Whether the window is there to be seen: it exists and has not been hidden, minimised or
    // taken away by the window system.
    bool IsOpen() const;
    // Destroys the window, the runner it holds (the child goes on) and records where the window
    // was; the shown text stays.
    void DestroyWindow();
    // The text the window shows, line ends as CR LF.
    QString ShownText() const;
    // The size of the shown text in bytes: it changes whenever the text grows.
    qsizetype ShownSize() const { return m_shownText.size(); }
    // While a run lasts: asks "The process is still running, do you wish to abort it?" and on
    // OK ends it, as the window's Stop button and its close do. The window stays. True when no
    // run is left going: there was none, or the user chose to end it.
    bool StopRun();
    // Selects line `line` (0-based) of the open window's edit and scrolls it into view.
    void SelectLine(int line);

    // The window while it is open, or none.
    ProcessOutputWindow *window() const;
    // Whether the window watches a run: its timer runs.
    bool isWatching() const;
    bool holdsRunner() const { return m_runner != nullptr; }

Q_SIGNALS:
    // The run the window was given has ended and its whole output is in the shown text.
    void runFinished();

private:
    void createWindow();
    // Where the keyboard goes once the window is given a run: into the input row of a run that
    // takes input, else back to the widget that had it (a Build leaves it where it was).
    void placeKeyboard(const QPointer<QWidget> &hadKeyboard);
    // Shows the existing window again, restored and in front, whatever became of it.
    void bringBack();
    // The window system destroyed the window behind Qt's back: a new one takes its place, with
    // the same text and run, at once or, while the abort question is up, once it is answered.
    void OnWindowLost();
    void renewLostWindow();
    // Shows the tool caption with the command line and folder of the run watched, or of the
    // last run watched.
    void showCaption();
    void setView(OutputWindowListener *view);
    OutputWindowListener *listener() const;

    void replaceShownText(const QByteArray &text, bool running, quint64 generation);
    // Takes new text while a run is watched, places what waits within a time budget, ends the
    // run when it is over, and comes back soon while text waits or a run is watched.
    void pump();
    void takeNewOutput();
    void placePendingOutput(const QElapsedTimer &clock);
    void finishIfRunOver();

    // However the window goes: stops watching, drops the runner, records where it was.
    void OnWindowDestroyed(const QRect &place);
    void OnTimer();
    void OnClose();
    void OnSysCommand(int id);
    void OnLineClicked(int line);
    // The input row of a run that takes input: shown while its input is open.
    void showInputOfRun();
    void OnInputEntered(const QString &line);
    void OnInputClose();
    void SaveAs();
    void ChooseFont();

    WindowRect m_windowRect;
    QPointer<ProcessOutputWindow> m_window;
    OutputWindowListener *m_view = nullptr;
    // The view as a QObject, when it is one, so that a view destroyed meanwhile is not called.
    QPointer<QObject> m_viewObject;
    bool m_viewIsObject = false;
    std::unique_ptr<CProcessRunner> m_runner;
    bool m_animationPhase = false;
    // The question whether to abort the run is up.
    bool m_askingToAbort = false;
    // The window system destroyed the window; a new one is due.
    bool m_windowLost = false;
    // The command line and folder of the last run the window was given.
    QString m_commandLine;
    QString m_commandFolder;

    // The bytes of processOutput taken so far, and how many of them the edit shows.
    OutputText m_shownText;
    // Bytes placed into the edit at a time, fitted to what placing them costs.
    qsizetype m_placingSlice;
    // The running flag read together with the last new text was false.
    bool m_runOver = false;
    // The generation of processOutput that the shown text is a prefix of.
    quint64 m_generation = 0;

    // The 200 ms timer of a watched run.
    QTimer *m_timer = nullptr;
    // Takes and places text between ticks.
    QTimer *m_pumpTimer = nullptr;
};
