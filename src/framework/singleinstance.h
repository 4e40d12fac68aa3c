#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace fw {

// Keeps Tarvo to one running instance per user, display and settings folder: a second start
// hands the files it was given to the first one and exits, and the first opens them.
//
// The socket lives in the user's private runtime folder, which no other user can enter, and
// each side talks only to a peer that runs as the same user. When no private folder can be had,
// or the peer is someone else, there is no hand-over: the start goes on as a first instance.
// The running instance reads a handed-over request without ever waiting for it: a request
// larger than kMaxRequestBytes, or not complete within kRequestTimeoutMs, is dropped.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kMaxRequestBytes = 1024 * 1024;
    static constexpr int kRequestTimeoutMs = 3000;

    // serverName: the socket's path, as defaultServerName() gives it; empty means no hand-over.
    explicit SingleInstance(const QString &serverName = defaultServerName(),
                            QObject *parent = nullptr);
    ~SingleInstance() override;

    // The socket's path in privateRuntimeFolder(); empty when there is no such folder.
    static QString defaultServerName();
    // $XDG_RUNTIME_DIR when it is a folder of this user's that only this user may enter, else
    // the folder tarvo-<uid> in the temporary folder, made so; empty when neither can be had.
    static QString privateRuntimeFolder();

    // Hands the files (absolute paths) to a running instance of this user. True when one took
    // them.
    bool handToRunningInstance(const QStringList &paths, int timeoutMs = 3000);
    // Starts listening as the running instance; false when that is impossible.
    bool listen();

Q_SIGNALS:
    // Files handed over by a later start; may be empty (then only come to the front).
    void filesReceived(const QStringList &paths);

private:
    void acceptConnection();
    void readRequest(QLocalSocket *socket);

    QString m_serverName;
    QLocalServer *m_server = nullptr;
};

} // namespace fw
