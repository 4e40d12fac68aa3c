#include "framework/singleinstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace fw {

namespace {
constexpr int kReadTimeoutMs = 3000;
}

SingleInstance::SingleInstance(const QString &serverName, QObject *parent)
    : QObject(parent)
    , m_serverName(serverName) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultServerName() {
    // One running Tarvo per user, display and settings folder: a start on another display, or
    // with other settings, is a Tarvo of its own.
    const QByteArray where =
        qgetenv("WAYLAND_DISPLAY") + '|' + qgetenv("DISPLAY") + '|'
        + QStandardPaths::writableLocation(QStandardPaths::ConfigLocation).toUtf8();
    const QByteArray key =
        QCryptographicHash::hash(where, QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("tarvo-%1-%2").arg(getuid()).arg(QString::fromLatin1(key));
}

bool SingleInstance::handToRunningInstance(const QStringList &paths, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    QByteArray message;
    QDataStream stream(&message, QIODevice::WriteOnly);
    stream << paths;
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    // The running instance closes the connection once it has read the list.
    socket.waitForDisconnected(timeoutMs);
    return true;
}

bool SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverName)) {
        // Someone answers: another instance started at the same moment, and it is the one.
        QLocalSocket probe;
        probe.connectToServer(m_serverName);
        if (probe.waitForConnected(kReadTimeoutMs)) {
            probe.disconnectFromServer();
            return false;
        }
        // A socket left behind by an instance that crashed: nobody answered on it, so it may
        // be taken over.
        QLocalServer::removeServer(m_serverName);
        if (!m_server->listen(m_serverName)) {
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    return true;
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        QStringList paths;
        QDataStream stream(socket);
        // The client writes the whole list at once; wait until it can be read whole.
        while (true) {
            stream.startTransaction();
            stream >> paths;
            if (stream.commitTransaction()) {
                break;
            }
            if (!socket->waitForReadyRead(kReadTimeoutMs)) {
                paths.clear();
                break;
            }
        }
        socket->disconnectFromServer();
        socket->deleteLater();
        Q_EMIT filesReceived(paths);
    }
}

} // namespace fw
