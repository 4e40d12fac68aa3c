#pragma once

#include "javaservice/protocol.h"

#include <QObject>
#include <QProcess>
#include <QSet>
#include <QTimer>

namespace javaservice {

// One running Java service: a JVM started in one folder with the compiled service classes,
// spoken to through the protocol over its standard input and output. Everything is
// asynchronous: nothing here waits for the process. It tells once that it is ready (its "ready"
// frame came) or that it has ended; frames it sends in between are handed on as they come.
//
// It keeps the ids of the requests it still owes a last reply to, and lets itself go (closes
// the service's input, which ends it) once none has been owed for the idle time.
class ServiceProcess : public QObject {
    Q_OBJECT

public:
    struct Launch {
        QString jdkFolder;
        QString folder;      // the service's current folder
        QString classFolder; // where the compiled service classes are
        QStringList jvmOptions;
        // The program's main class: the service, or another of Tarvo's Java programs that
        // speaks the same protocol.
        QString mainClass = QStringLiteral("tarvo.service.ServiceMain");
        int idleMs = 10 * 60 * 1000;
        int readyTimeoutMs = 60 * 1000;
    };

    explicit ServiceProcess(const Launch &launch, QObject *parent = nullptr);
    ~ServiceProcess() override;

    void start();
    bool isReady() const { return m_ready; }
    bool hasEnded() const { return m_ended; }
    // Sends a request; its id is owed a last reply from now on.
    void send(const protocol::Message &request);
    // Forgets a request: no reply to it is owed any more.
    void forget(quint64 id);
    bool owes() const { return !m_owed.isEmpty(); }
    // Ends the process at once.
    void kill();
    // Closes its input: the service ends by itself.
    void letGo();
    // Waits up to timeoutMs for the process to end; whether it has. Blocks the thread.
    bool waitForEnd(int timeoutMs);
    qint64 processId() const { return m_process.processId(); }
    const QVariantMap &readyFields() const { return m_readyFields; }
    const Launch &launch() const { return m_launch; }

    // The arguments of the java program that runs the service.
    static QStringList javaArguments(const Launch &launch);

Q_SIGNALS:
    void ready();
    void received(const protocol::Message &message);
    // The process has ended or could not start; reason says what is known of why.
    void ended(const QString &reason);

private:
    void readFrames();
    void readErrors();
    void end(const QString &reason);
    void restartIdleTimer();

    Launch m_launch;
    QProcess m_process;
    protocol::FrameReader m_reader;
    QByteArray m_errors; // the last of what the service wrote to its error stream
    QSet<quint64> m_owed;
    QVariantMap m_readyFields;
    QTimer m_idle;
    QTimer m_readyTimeout;
    bool m_ready = false;
    bool m_ended = false;
};

} // namespace javaservice
