#pragma once

#include "services/appsettings.h"
#include "tools/outputplacer.h"
#include "tools/outputtext.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class CProcessRunner;
class OutputWindowListener;
struct ProcessOutputStretch;
class ProcessOutputWindow;
class QElapsedTimer;
class QRect;
class QTimer;
class QWidget;

// The project's output window object: it lives as long as the project document; its window
// exists only while shown. It owns the runner of the tool run it watches and keeps its own
// shown text (an OutputText: the first lines, the latest lines and long lines shortened, made
// from the captured output taken so far), which stays after the window is destroyed.
//
// While a run is watched, a 200 ms timer animates the progress bar and the status-bar message,
// and the text added to processOutput is taken between ticks, a bounded stretch at a time: a
// window far behind a program that prints without end passes over what it could never show
// and takes the latest output, so that neither its memory nor its work grows with the output.
// Taken text is placed into the edit in slices within a time budget per call, with a rest after
// each call in proportion to its work; the edit shows a prefix of the shown text while it
// catches up. The run is over once the running flag read together with the end of the output
// was false and everything taken has been placed: the window then shows "External process
// complete", stops its timer, drops the runner and tells runFinished.
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
    // The text the window shows, line ends as CR LF: line n of it is line n of the edit.
    QString ShownText() const;
    // A mark of the shown text: it changes whenever the text changes.
    qsizetype ShownSize() const { return qsizetype(m_shownText.changeCount()); }
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

    // Starts the shown text again, empty, as the text of run `run` of the runner.
    void resetShownText(quint64 run);
    // Shows the output of the current or last run from its start: the whole of it when it is
    // over.
    void showRunOutput();
    // Takes new text while a run is watched, places what waits within a time budget, ends the
    // run when it is over, and comes back while text waits or a run is watched.
    void pump();
    void takeNewOutput();
    void takeStretch(const ProcessOutputStretch &stretch);
    void finishIfRunOver();
    // Takes and places text shortly, whatever rest the last call asked for.
    void showEndSoon();

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

    // The text shown, and how far the edit shows it.
    OutputText m_shownText;
    OutputPlacer m_placer;
    // The run whose output the shown text holds, the position in its output up to
    // which it has been taken, and the line ends before that position.
    // The run of a shown text that is not the output of a run.
    static constexpr quint64 kNoRun = ~quint64(0);
    quint64 m_run = 0;
    qint64 m_takenPosition = 0;
    qint64 m_takenLines = 0;
    // The running flag read together with the end of the output was false.
    bool m_runOver = false;
    // The run's text was taken again at its end, after output near the end was passed over.
    bool m_endTakenWhole = false;

    // The 200 ms timer of a watched run.
    QTimer *m_timer = nullptr;
    // Takes and places text between ticks.
    QTimer *m_pumpTimer = nullptr;
};
