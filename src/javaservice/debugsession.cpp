#include "javaservice/debugsession.h"

#include "javaservice/javaserviceclient.h"
#include "javaservice/protocol.h"
#include "javaservice/serviceprocess.h"

#include <QThread>

#include <limits>

namespace javaservice {

namespace {

namespace kinds {
constexpr char kDebug[] = "debug";
constexpr char kAttached[] = "attached";
constexpr char kStopped[] = "stopped";
constexpr char kEnded[] = "ended";
constexpr char kBreakpoint[] = "breakpoint";
constexpr char kResume[] = "resume";
constexpr char kStep[] = "step";
constexpr char kVariables[] = "variables";
constexpr char kStop[] = "stop";
} // namespace kinds

constexpr char kMainClass[] = "tarvo.service.DebugMain";
// How long a session that goes waits for its debugger to end the program and itself.
constexpr int kEndWaitMs = 3000;

QString field(const QVariantMap &record, const char *name) {
    return record.value(QLatin1String(name)).toString();
}

qint64 number(const QVariantMap &record, const char *name) {
    return record.value(QLatin1String(name)).toLongLong();
}

DebugStop stopOf(const QVariantMap &fields) {
    DebugStop stop;
    const QString reason = field(fields, "reason");
    stop.reason = reason == QLatin1String("exception") ? DebugStop::Reason::Exception
                  : reason == QLatin1String("step")    ? DebugStop::Reason::Step
                                                       : DebugStop::Reason::Breakpoint;
    stop.exception = field(fields, "exception");
    stop.thread = field(fields, "thread");
    for (const QVariant &value : fields.value(QStringLiteral("frames")).toList()) {
        const QVariantMap record = value.toMap();
        stop.frames.append({field(record, "class"), field(record, "method"), field(record, "path"),
                            field(record, "source"), int(number(record, "line")),
                            number(record, "library") != 0});
    }
    stop.frame = int(qBound<qint64>(0, number(fields, "frame"), qMax(0, stop.frames.size() - 1)));
    return stop;
}

QList<DebugVariable> variablesOf(const QVariantMap &fields) {
    QList<DebugVariable> variables;
    for (const QVariant &value : fields.value(QStringLiteral("items")).toList()) {
        const QVariantMap item = value.toMap();
        variables.append({field(item, "name"), field(item, "kind"), field(item, "type"),
                          field(item, "value"), number(item, "object")});
    }
    return variables;
}

} // namespace

JavaHelper debuggerHelper() {
    QStringList sources;
    for (const char *name : {"DebugMain", "Debugger", "DebugKinds", "Breakpoints", "Values"}) {
        sources << QStringLiteral("debugger/") + QLatin1String(name) + QStringLiteral(".java");
    }
    // The protocol's classes are the service's own.
    for (const char *name :
         {"Channel", "Console", "FrameCodec", "Kinds", "Message", "ProtocolException", "Reply"}) {
        sources << QStringLiteral("javaservice/") + QLatin1String(name) + QStringLiteral(".java");
    }
    return {QStringLiteral("debugger"),
            sources,
            {QStringLiteral("-nowarn"), QStringLiteral("-encoding"), QStringLiteral("UTF-8")}};
}

DebugSession::DebugSession(const Settings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings) {
    if (m_settings.jvmOptions.isEmpty()) {
        m_settings.jvmOptions = JavaServiceClient::defaultJvmOptions();
    }
}

DebugSession::~DebugSession() {
    if (m_preparing) {
        // The debugger's compile cannot be left running into a session that is gone; it takes
        // a few seconds at most.
        m_preparing->disconnect(this);
        m_preparing->wait();
        delete m_preparing;
    }
    if (m_process && !m_process->hasEnded()) {
        // The debugger ends the program, and then itself; whatever is left after a while is
        // killed (and reaped) with the process object.
        m_process->disconnect(this);
        if (m_state == State::Listening || m_state == State::Running || m_state == State::Stopped) {
            send(QLatin1String(kinds::kStop), {{QStringLiteral("exit"), qint64(1)}});
        }
        m_process->letGo();
        m_process->waitForEnd(kEndWaitMs);
    }
}

QString DebugSession::agentOption(int port) {
    return QStringLiteral(
               "-agentlib:jdwp=transport=dt_socket,server=n,suspend=y,address=127.0.0.1:%1")
        .arg(port);
}

void DebugSession::start(const QList<DebugBreakpoint> &breakpoints) {
    if (m_state != State::Idle) {
        return;
    }
    m_initialBreakpoints = breakpoints;
    m_state = State::Preparing;
    auto result = std::make_shared<PreparedHelper>();
    const Settings settings = m_settings;
    m_preparing = QThread::create([settings, result] {
        *result = prepareHelper(settings.jdkFolder, debuggerHelper(), settings.helpFolders,
                                settings.cacheRoot);
    });
    connect(m_preparing, &QThread::finished, this, [this, result] {
        m_preparing->deleteLater();
        m_preparing = nullptr;
        prepared(result->classFolder, result->error);
    });
    m_preparing->start();
}

void DebugSession::prepared(const QString &classFolder, const QString &error) {
    if (classFolder.isEmpty()) {
        finish(error);
        return;
    }
    ServiceProcess::Launch launch;
    launch.jdkFolder = m_settings.jdkFolder;
    launch.folder = m_settings.folder;
    launch.classFolder = classFolder;
    launch.jvmOptions = m_settings.jvmOptions;
    launch.mainClass = QLatin1String(kMainClass);
    // The session's request is owed while the program lives: the debugger never idles out.
    launch.idleMs = std::numeric_limits<int>::max();
    m_process = std::make_unique<ServiceProcess>(launch);
    connect(m_process.get(), &ServiceProcess::ready, this, [this] {
        m_port = int(m_process->readyFields().value(QStringLiteral("port")).toLongLong());
        m_state = State::Listening;
        QVariantList breakpoints;
        for (const DebugBreakpoint &breakpoint : std::as_const(m_initialBreakpoints)) {
            breakpoints.append(QVariantMap{{QStringLiteral("path"), breakpoint.path},
                                           {QStringLiteral("line"), qint64(breakpoint.line)}});
        }
        m_sessionId = send(QLatin1String(kinds::kDebug),
                           {{QStringLiteral("breakpoints"), breakpoints},
                            {QStringLiteral("timeout"), qint64(m_settings.connectTimeoutMs)}});
        emit listening(m_port);
    });
    connect(m_process.get(), &ServiceProcess::received, this, &DebugSession::received);
    connect(m_process.get(), &ServiceProcess::ended, this,
            [this](const QString &reason) { finish(reason); });
    m_state = State::Starting;
    m_process->start();
}

quint64 DebugSession::send(const QString &kind, const QVariantMap &fields) {
    const quint64 id = ++m_lastId;
    m_process->send({id, kind, fields});
    return id;
}

void DebugSession::received(const protocol::Message &message) {
    if (message.id == m_sessionId) {
        if (message.kind == QLatin1String(kinds::kAttached)) {
            m_state = State::Running;
            emit attached();
        } else if (message.kind == QLatin1String(kinds::kStopped)) {
            m_lastStop = stopOf(message.fields);
            m_state = State::Stopped;
            emit stopped(m_lastStop);
        } else if (message.kind == QLatin1String(kinds::kEnded)) {
            finish(QString());
        } else if (message.kind == QLatin1String(protocol::kError)) {
            finish(field(message.fields, "message"));
        }
        return;
    }
    if (!message.isPartial()) {
        m_process->forget(message.id);
    }
    if (message.kind == QLatin1String(kinds::kVariables)) {
        emit variablesRead(message.id, variablesOf(message.fields));
    } else if (message.kind == QLatin1String(protocol::kError)) {
        // A variables request that failed (the program went on) gets an empty answer, so that
        // whoever waits for it is not left waiting.
        emit variablesRead(message.id, {});
    }
}

void DebugSession::setBreakpoint(const DebugBreakpoint &breakpoint, bool set) {
    if (m_state == State::Idle || m_state == State::Preparing || m_state == State::Starting) {
        m_initialBreakpoints.removeAll(breakpoint);
        if (set) {
            m_initialBreakpoints.append(breakpoint);
        }
        return;
    }
    if (m_state == State::Ended) {
        return;
    }
    send(QLatin1String(kinds::kBreakpoint), {{QStringLiteral("path"), breakpoint.path},
                                             {QStringLiteral("line"), qint64(breakpoint.line)},
                                             {QStringLiteral("set"), qint64(set ? 1 : 0)}});
}

bool DebugSession::resume() {
    if (m_state != State::Stopped) {
        return false;
    }
    send(QLatin1String(kinds::kResume), {});
    m_state = State::Running;
    emit resumed();
    return true;
}

bool DebugSession::step(StepDepth depth) {
    if (m_state != State::Stopped) {
        return false;
    }
    const char *name = depth == StepDepth::Into ? "into" : depth == StepDepth::Out ? "out" : "over";
    send(QLatin1String(kinds::kStep), {{QStringLiteral("depth"), QLatin1String(name)}});
    m_state = State::Running;
    emit resumed();
    return true;
}

quint64 DebugSession::readVariables(int frame, qint64 object) {
    if (m_state != State::Stopped) {
        return 0;
    }
    return send(QLatin1String(kinds::kVariables),
                {{QStringLiteral("frame"), qint64(frame)}, {QStringLiteral("object"), object}});
}

void DebugSession::stop(int exitCode) {
    switch (m_state) {
    case State::Ended:
        return;
    case State::Idle:
    case State::Preparing:
    case State::Starting:
        // Nothing runs the program yet: the session ends here.
        finish(QString());
        return;
    default:
        send(QLatin1String(kinds::kStop), {{QStringLiteral("exit"), qint64(exitCode)}});
    }
}

void DebugSession::finish(const QString &error) {
    if (m_state == State::Ended) {
        return;
    }
    m_state = State::Ended;
    if (m_process) {
        m_process->disconnect(this);
        // The debugger ends by itself after the program; one that is still there is let go.
        m_process->letGo();
    }
    if (m_preparing) {
        m_preparing->disconnect(this);
        connect(m_preparing, &QThread::finished, m_preparing, &QObject::deleteLater);
        m_preparing = nullptr;
    }
    emit ended(error);
}

} // namespace javaservice
