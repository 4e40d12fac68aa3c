#include "javaservice/serviceprocess.h"

#include <QProcessEnvironment>

namespace javaservice {

namespace {

// What is kept of the service's error stream to say why it ended.
constexpr qsizetype kKeptErrors = 4096;
// A service let go that has not ended after this long is ended.
constexpr int kLetGoGraceMs = 5000;

} // namespace

ServiceProcess::ServiceProcess(const Launch &launch, QObject *parent)
    : QObject(parent)
    , m_launch(launch) {
    m_idle.setSingleShot(true);
    m_idle.setInterval(m_launch.idleMs);
    connect(&m_idle, &QTimer::timeout, this, &ServiceProcess::letGo);
    m_readyTimeout.setSingleShot(true);
    m_readyTimeout.setInterval(m_launch.readyTimeoutMs);
    connect(&m_readyTimeout, &QTimer::timeout, this, [this] {
        m_process.kill();
        end(QStringLiteral("the Java service did not start in time"));
    });
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &ServiceProcess::readFrames);
    connect(&m_process, &QProcess::readyReadStandardError, this, &ServiceProcess::readErrors);
    connect(&m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus) {
        readFrames();
        readErrors();
        const QString errors = QString::fromLocal8Bit(m_errors).trimmed();
        end(errors.isEmpty() ? QStringLiteral("the Java service ended (exit code %1)").arg(exitCode)
                             : errors);
    });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            end(QStringLiteral("java could not be started: ") + m_process.errorString());
        }
    });
}

ServiceProcess::~ServiceProcess() {
    // The service ends when its input closes; a service that is busy is ended now.
    m_process.disconnect(this);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(1000);
    }
}

QStringList ServiceProcess::javaArguments(const Launch &launch) {
    QStringList arguments = launch.jvmOptions;
    // A check attributes the checked text alone through the compiler's own task class;
    // completion keeps the compiler's contexts from one request to the next, and has the
    // packages of the project's sources listed afresh in them.
    arguments << QStringLiteral("--add-exports=jdk.compiler/com.sun.tools.javac.api=ALL-UNNAMED")
              << QStringLiteral("--add-exports=jdk.compiler/com.sun.tools.javac.code=ALL-UNNAMED");
    // The compiler's default class path is what the javac program would have: the CLASSPATH
    // variable, else the current folder, never the service's own classes.
    arguments << QStringLiteral("-Dapplication.home=") + launch.jdkFolder;
    const QString classPath = qEnvironmentVariable("CLASSPATH");
    if (qEnvironmentVariableIsSet("CLASSPATH")) {
        arguments << QStringLiteral("-Denv.class.path=") + classPath;
    }
    arguments << QStringLiteral("-cp") << launch.classFolder << launch.mainClass;
    return arguments;
}

void ServiceProcess::start() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Options meant for the user's programs run with java; the tools do not read them.
    environment.remove(QStringLiteral("JDK_JAVA_OPTIONS"));
    // Fewer malloc arenas for the JVM's threads: less memory held by an idle service.
    if (!environment.contains(QStringLiteral("MALLOC_ARENA_MAX"))) {
        environment.insert(QStringLiteral("MALLOC_ARENA_MAX"), QStringLiteral("2"));
    }
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(m_launch.folder);
    m_readyTimeout.start();
    m_process.start(m_launch.jdkFolder + QStringLiteral("/bin/java"), javaArguments(m_launch));
}

void ServiceProcess::send(const protocol::Message &request) {
    if (m_ended) {
        return;
    }
    m_owed.insert(request.id);
    m_idle.stop();
    m_process.write(protocol::encodeFrame(request));
}

void ServiceProcess::forget(quint64 id) {
    m_owed.remove(id);
    restartIdleTimer();
}

void ServiceProcess::kill() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
    }
}

void ServiceProcess::letGo() {
    m_process.closeWriteChannel();
    QTimer::singleShot(kLetGoGraceMs, this, &ServiceProcess::kill);
}

bool ServiceProcess::waitForEnd(int timeoutMs) {
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
}

void ServiceProcess::readFrames() {
    m_reader.append(m_process.readAllStandardOutput());
    while (std::optional<protocol::Message> message = m_reader.next()) {
        if (!m_ready) {
            if (message->id != 0 || message->kind != QLatin1String(protocol::kReady)) {
                continue;
            }
            m_ready = true;
            m_readyTimeout.stop();
            m_readyFields = message->fields;
            restartIdleTimer();
            emit ready();
            continue;
        }
        if (message->id != 0 && !message->isPartial()) {
            m_owed.remove(message->id);
            restartIdleTimer();
        }
        emit received(*message);
        if (m_ended) {
            return;
        }
    }
    if (m_reader.failed()) {
        m_process.kill();
        end(QStringLiteral("the Java service broke the protocol"));
    }
}

void ServiceProcess::readErrors() {
    m_errors.append(m_process.readAllStandardError());
    if (m_errors.size() > kKeptErrors) {
        m_errors = m_errors.right(kKeptErrors);
    }
}

void ServiceProcess::end(const QString &reason) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_idle.stop();
    m_readyTimeout.stop();
    m_owed.clear();
    emit ended(reason);
}

void ServiceProcess::restartIdleTimer() {
    if (m_owed.isEmpty() && m_ready && !m_ended) {
        m_idle.start();
    }
}

} // namespace javaservice
