#pragma once

#include <QObject>
#include <QString>

#include <memory>

class CProcessRunner;
class OutputWindowListener;

// The project's output window object: it lives as long as the project document; its window
// exists only while shown. It shows the captured output of the tool run it watches while the
// run goes on.
class CProcessOutputDialog : public QObject {
    Q_OBJECT

public:
    CProcessOutputDialog();
    ~CProcessOutputDialog() override;

    // Makes and shows the window, watching the run (none: only the last run's text).
    void Open(std::unique_ptr<CProcessRunner> runner, OutputWindowListener *view);
    // Gives an open window a new run to watch.
    bool Restart(std::unique_ptr<CProcessRunner> runner, OutputWindowListener *view);
    bool IsOpen() const;
    void DestroyWindow();
    // The text the window shows.
    QString ShownText() const;
};
