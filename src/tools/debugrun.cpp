#include "tools/debugrun.h"

#include "tools/processrunner.h"

namespace {

constexpr int kWatchPeriodMs = 200;

} // namespace

DebugRun::DebugRun(QObject *parent)
    : QObject(parent) {
    m_watch.setInterval(kWatchPeriodMs);
    connect(&m_watch, &QTimer::timeout, this, &DebugRun::watchProgram);
}

DebugRun::~DebugRun() {
    stop();
}

QString DebugRun::debugCommandLine(const QString &runCommandLine, int port) {
    const qsizetype toolEnd = runCommandLine.indexOf(QLatin1Char(' '));
    const QString agent = javaservice::DebugSession::agentOption(port);
    if (toolEnd < 0) {
        return runCommandLine + QLatin1Char(' ') + agent;
    }
    return runCommandLine.left(toolEnd) + QLatin1Char(' ') + agent + runCommandLine.mid(toolEnd);
}

void DebugRun::start(const Launch &launch, const QList<javaservice::DebugBreakpoint> &breakpoints,
                     ProgramStarted programStarted) {
    m_launch = launch;
    m_programStarted = std::move(programStarted);
    javaservice::DebugSession::Settings settings;
    settings.jdkFolder = launch.jdkFolder;
    settings.folder = launch.folder;
    settings.helpFolders = launch.helpFolders;
    settings.cacheRoot = launch.cacheRoot;
    m_session = std::make_unique<javaservice::DebugSession>(settings);
    connect(m_session.get(), &javaservice::DebugSession::listening, this, &DebugRun::startProgram);
    connect(m_session.get(), &javaservice::DebugSession::attached, &m_watch, &QTimer::stop);
    connect(m_session.get(), &javaservice::DebugSession::ended, this, [this](const QString &error) {
        m_watch.stop();
        // A session that broke leaves no program running without it.
        if (!error.isEmpty() && m_programRuns) {
            CProcessRunner().Terminate(kUserAbortExitCode);
        }
        m_programRuns = false;
        emit ended(error.isEmpty() ? m_failure : error);
    });
    m_session->start(breakpoints);
}

bool DebugRun::isActive() const {
    return m_session && !m_session->hasEnded();
}

void DebugRun::stop() {
    if (!isActive()) {
        return;
    }
    if (m_programRuns) {
        CProcessRunner().Terminate(kUserAbortExitCode);
    }
    m_session->stop(kUserAbortExitCode);
}

void DebugRun::startProgram(int port) {
    auto runner = std::make_unique<CProcessRunner>();
    runner->setInputFile(m_launch.inputFile);
    if (!runner->Start(m_launch.program, debugCommandLine(m_launch.commandLine, port),
                       m_launch.folder, m_launch.inputFile.isEmpty())) {
        m_failure = QStringLiteral("Failed to start process");
        m_session->stop(kUserAbortExitCode);
        return;
    }
    m_programRuns = true;
    m_watch.start();
    if (m_programStarted) {
        m_programStarted(std::move(runner));
    }
}

void DebugRun::watchProgram() {
    // The program ended before it connected (a JVM option it refused, a main class it did not
    // find): the session waits for nobody.
    if (!IsProcessRunning()) {
        m_watch.stop();
        m_programRuns = false;
        m_session->stop(kUserAbortExitCode);
    }
}
