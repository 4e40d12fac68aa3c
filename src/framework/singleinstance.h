#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

namespace fw {

// Keeps Tarvo to one running instance per user, display and settings folder: a second start
// hands the files it was given to the first one and exits, and the first opens them.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString &serverName = defaultServerName(),
                            QObject *parent = nullptr);
    ~SingleInstance() override;

    static QString defaultServerName();

    // Hands the files (absolute paths) to a running instance. True when one took them.
    bool handToRunningInstance(const QStringList &paths, int timeoutMs = 3000);
    // Starts listening as the running instance; false when that is impossible.
    bool listen();

Q_SIGNALS:
    // Files handed over by a later start; may be empty (then only come to the front).
    void filesReceived(const QStringList &paths);

private:
    void acceptConnection();

    QString m_serverName;
    QLocalServer *m_server = nullptr;
};

} // namespace fw
