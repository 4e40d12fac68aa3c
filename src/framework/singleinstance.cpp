#include "framework/singleinstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {

namespace {

constexpr int kProbeTimeoutMs = 3000;
constexpr mode_t kPrivateFolderMode = 0700;

// A folder this user owns and no one else may enter; a symbolic link does not count.
bool isPrivateFolder(const QString &path) {
    struct stat status {};
    return !path.isEmpty() && lstat(QFile::encodeName(path).constData(), &status) == 0
           && S_ISDIR(status.st_mode) && status.st_uid == getuid()
           && (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// Whether the other end of a connected local socket runs as this user.
bool peerIsThisUser(const QLocalSocket &socket) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return socket.socketDescriptor() >= 0
           && getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED,
                         &credentials, &size)
                  == 0
           && size == sizeof credentials && credentials.uid == getuid();
}

enum class RequestState { Incomplete, Complete, Corrupt };

// A request is a QDataStream'd list of paths. Its count is checked against the bytes before
// the list is read, so that a forged count cannot make the reading reserve without bound.
RequestState parseRequest(const QByteArray &bytes, QStringList *paths) {
    QDataStream stream(bytes);
    quint32 count = 0;
    stream >> count;
    if (stream.status() != QDataStream::Ok) {
        return RequestState::Incomplete;
    }
    // Every path takes at least the four bytes of its length.
    constexpr quint32 kMostPaths = (SingleInstance::kMaxRequestBytes - 4) / 4;
    if (count > kMostPaths) {
        return RequestState::Corrupt;
    }
    if (qint64(count) * 4 > bytes.size() - 4) {
        return RequestState::Incomplete;
    }
    QDataStream whole(bytes);
    whole >> *paths;
    switch (whole.status()) {
    case QDataStream::Ok:
        return RequestState::Complete;
    case QDataStream::ReadPastEnd:
        return RequestState::Incomplete;
    default:
        return RequestState::Corrupt;
    }
}

} // namespace

SingleInstance::SingleInstance(const QString &serverName, QObject *parent)
    : QObject(parent)
    , m_serverName(serverName) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::privateRuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime)) {
        return runtime;
    }
    const QString own = QDir::tempPath() + QStringLiteral("/tarvo-%1").arg(getuid());
    // An existing folder is taken only as it is: another user may have made it first.
    mkdir(QFile::encodeName(own).constData(), kPrivateFolderMode);
    return isPrivateFolder(own) ? own : QString();
}

QString SingleInstance::defaultServerName() {
    const QString folder = privateRuntimeFolder();
    if (folder.isEmpty()) {
        return {};
    }
    // One running Tarvo per user, display and settings folder: a start on another display, or
    // with other settings, is a Tarvo of its own.
    const QByteArray where =
        qgetenv("WAYLAND_DISPLAY") + '|' + qgetenv("DISPLAY") + '|'
        + QStandardPaths::writableLocation(QStandardPaths::ConfigLocation).toUtf8();
    const QByteArray key =
        QCryptographicHash::hash(where, QCryptographicHash::Sha1).toHex().left(12);
    return folder + QStringLiteral("/tarvo-") + QString::fromLatin1(key);
}

bool SingleInstance::handToRunningInstance(const QStringList &paths, int timeoutMs) {
    if (m_serverName.isEmpty()) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    if (!peerIsThisUser(socket)) {
        socket.abort();
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
    if (m_serverName.isEmpty()) {
        return false;
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverName)) {
        // Someone answers: another instance started at the same moment, and it is the one.
        QLocalSocket probe;
        probe.connectToServer(m_serverName);
        if (probe.waitForConnected(kProbeTimeoutMs)) {
            probe.abort();
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
        if (!peerIsThisUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // The request is read as it arrives; one that takes too long or grows too large is
        // dropped, and the socket never buffers much more than the largest request.
        socket->setReadBufferSize(kMaxRequestBytes + 1);
        auto *deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        deadline->start(kRequestTimeoutMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        readRequest(socket);
    }
}

void SingleInstance::readRequest(QLocalSocket *socket) {
    if (socket->state() != QLocalSocket::ConnectedState && socket->bytesAvailable() == 0) {
        return;
    }
    QStringList paths;
    RequestState state = RequestState::Corrupt;
    if (socket->bytesAvailable() <= kMaxRequestBytes) {
        state = parseRequest(socket->peek(socket->bytesAvailable()), &paths);
    }
    if (state == RequestState::Incomplete) {
        return;
    }
    // Handled once: the connection's signals end here.
    socket->disconnect(this);
    socket->readAll();
    socket->disconnectFromServer();
    socket->deleteLater();
    if (state == RequestState::Complete) {
        Q_EMIT filesReceived(paths);
    }
}

} // namespace fw
