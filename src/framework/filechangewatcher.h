#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace fw {

// Watches the files of the open documents, and the folders that hold them (a program that
// saves by writing a new file and renaming it over the old one replaces the file watched). A
// change is taken up once the file system has been quiet for a moment, and only while Tarvo is
// the active application and no modal dialog is up: then `check` runs, which asks about each
// changed file as the check on returning to Tarvo does. While another application is active,
// that check on return covers the change.
class FileChangeWatcher : public QObject {
    Q_OBJECT

public:
    static constexpr int kSettleMs = 150;

    explicit FileChangeWatcher(std::function<void()> check);
    ~FileChangeWatcher() override;

    // The files to watch from now on; files that do not exist yet are watched once they do.
    void setFiles(const QStringList &paths);
    QStringList files() const { return m_files; }

private:
    void changed();
    void settled();
    // Adds to the watcher what it lost: a file deleted or replaced drops out of it.
    void watchAgain();

    std::function<void()> m_check;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QStringList m_files;
};

} // namespace fw
