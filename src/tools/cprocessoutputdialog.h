#pragma once

#include "app/appsettings.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringDecoder>

#include <memory>

class CProcessRunner;
class OutputWindowListener;
class ProcessOutputWindow;
class QTimer;

// The project's output window object: it lives as long as the project document; its window
// exists only while shown. It owns the runner of the tool run it watches and keeps its own copy
// of the captured output (the shown text, the bytes of processOutput taken so far), which stays
// after the window is destroyed.
//
// While a run is watched, a 200 ms timer animates the progress bar and the status-bar message
// and takes the text added since the last tick. Taken text is placed into the edit in slices of
// bounded cost, so that even a run printing many megabytes keeps the window responsive; the edit
// always shows a prefix of the shown text, decoded as UTF-8 across slice boundaries. The run is
// over at the first tick where the running flag read together with the last new text was false
// and everything taken has been placed: the window then shows "External process complete" and
// drops the runner.
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
    bool IsOpen() const;
    // Destroys the window, the runner it holds (the child goes on) and records where the window
    // was; the shown text stays.
    void DestroyWindow();
    // The text the window shows, line ends as CR LF.
    QString ShownText() const;

    // The window while it is open, or none.
    ProcessOutputWindow *window() const;
    // Whether the window watches a run: its timer runs.
    bool isWatching() const;
    bool holdsRunner() const { return m_runner != nullptr; }

private:
    void createWindow();
    void setView(OutputWindowListener *view);
    OutputWindowListener *listener() const;

    void replaceShownText(const QByteArray &text, bool running);
    void takeNewOutput();
    void placePendingOutput();
    void finishIfRunOver();

    void OnTimer();
    void OnClose();
    void OnSysCommand(int id);
    void OnLineClicked(int line);
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

    // The bytes of processOutput taken so far; its size is the shown length.
    QByteArray m_shownText;
    // How many of them the edit shows, and the decoder state at that point.
    qsizetype m_placedLength = 0;
    QStringDecoder m_decoder;
    bool m_placedEndsWithCr = false;
    // The running flag read together with the last new text was false.
    bool m_runOver = false;

    QTimer *m_timer = nullptr;
    // Places text that one tick could not place, between ticks.
    QTimer *m_placeTimer = nullptr;
};
