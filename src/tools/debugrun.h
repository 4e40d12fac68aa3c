#pragma once

#include "javaservice/debugsession.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class CProcessRunner;

// The program run under Tarvo's debugger. The program is the process's captured run, started as
// Run Application starts it (so its output, the input row, the exit line and abort are Run's)
// with the debugger's agent option after the tool name; the debug session, started first,
// reports where it stops. Both end together: the session ends when the program has ended, the
// program is ended when the session cannot go on, and destroying the run ends the program.
class DebugRun : public QObject {
    Q_OBJECT

public:
    struct Launch {
        QString program;     // the java program
        QString commandLine; // Run Application's, beginning with the bare tool name
        QString folder;
        QString inputFile; // read by the program instead of the input row, when given
        QString jdkFolder;
        QStringList helpFolders; // where Tarvo's Java sources are
        QString cacheRoot;       // where they are compiled to
    };
    // Gets the runner of the program once it has started, to watch its output.
    using ProgramStarted = std::function<void(std::unique_ptr<CProcessRunner>)>;

    explicit DebugRun(QObject *parent = nullptr);
    ~DebugRun() override;

    // Starts the debugger and, once it listens, the program. ended() tells when neither could be
    // started, and why.
    void start(const Launch &launch, const QList<javaservice::DebugBreakpoint> &breakpoints,
               ProgramStarted programStarted);
    // The session, once started.
    javaservice::DebugSession &session() { return *m_session; }
    // Started and not ended yet.
    bool isActive() const;
    // Ends the program as the output window's abort does.
    void stop();

    // Run Application's command line with the agent option that connects the program to the
    // debugger listening on port.
    static QString debugCommandLine(const QString &runCommandLine, int port);

Q_SIGNALS:
    // The session is over: the program has ended (error empty) or the run could not go on.
    void ended(const QString &error);

private:
    void startProgram(int port);
    void watchProgram();

    Launch m_launch;
    std::unique_ptr<javaservice::DebugSession> m_session;
    ProgramStarted m_programStarted;
    bool m_programRuns = false;
    // Why the program could not be started, when it could not.
    QString m_failure;
    // Looks whether a program that has not connected yet has ended before it could.
    QTimer m_watch;
};
