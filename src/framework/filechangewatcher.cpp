#include "framework/filechangewatcher.h"

#include <QApplication>
#include <QFileInfo>
#include <QSet>

namespace fw {

FileChangeWatcher::FileChangeWatcher(std::function<void()> check)
    : m_check(std::move(check)) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &FileChangeWatcher::settled);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileChangeWatcher::changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileChangeWatcher::changed);
}

FileChangeWatcher::~FileChangeWatcher() = default;

void FileChangeWatcher::setFiles(const QStringList &paths) {
    QStringList files = paths;
    files.removeDuplicates();
    files.sort();
    if (files == m_files) {
        return;
    }
    m_files = files;
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    if (!watched.isEmpty()) {
        m_watcher.removePaths(watched);
    }
    watchAgain();
}

void FileChangeWatcher::watchAgain() {
    const QStringList watchedFiles = m_watcher.files();
    const QStringList watchedFolders = m_watcher.directories();
    const QSet<QString> files(watchedFiles.begin(), watchedFiles.end());
    const QSet<QString> folders(watchedFolders.begin(), watchedFolders.end());
    QStringList missing;
    for (const QString &file : std::as_const(m_files)) {
        const QString folder = QFileInfo(file).absolutePath();
        if (!folders.contains(folder) && !missing.contains(folder) && QFileInfo(folder).isDir()) {
            missing << folder;
        }
        if (!files.contains(file) && QFileInfo::exists(file)) {
            missing << file;
        }
    }
    if (!missing.isEmpty()) {
        m_watcher.addPaths(missing);
    }
}

void FileChangeWatcher::changed() {
    m_settle.start();
}

void FileChangeWatcher::settled() {
    watchAgain();
    if (QGuiApplication::applicationState() != Qt::ApplicationActive) {
        return;
    }
    // A question must not come up in the middle of another one; it waits for it to close.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        m_settle.start();
        return;
    }
    m_check();
}

} // namespace fw
