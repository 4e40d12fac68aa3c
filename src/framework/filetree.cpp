#include "framework/filetree.h"

#include <QDir>
#include <QFileInfo>

namespace fw {

namespace {

constexpr QDir::Filters kVisibleUnlinked = QDir::NoDotAndDotDot | QDir::NoSymLinks;

// Appends the files of folder, then walks its subfolders; false when the walk was stopped.
bool collect(const QDir &folder, const QStringList &patterns, const WalkProgress &progress,
             QStringList &found) {
    const QFileInfoList files = folder.entryInfoList(
        patterns, QDir::Files | QDir::CaseSensitive | kVisibleUnlinked, QDir::Name);
    for (const QFileInfo &file : files) {
        found << file.absoluteFilePath();
    }
    if (progress && !progress(static_cast<int>(found.size()))) {
        return false;
    }
    const QFileInfoList children = folder.entryInfoList(QDir::Dirs | kVisibleUnlinked, QDir::Name);
    for (const QFileInfo &child : children) {
        if (!collect(QDir(child.absoluteFilePath()), patterns, progress, found)) {
            return false;
        }
    }
    return true;
}

} // namespace

QStringList filesBelow(const QString &folder, const QStringList &patterns,
                       const WalkProgress &progress) {
    QStringList found;
    if (!collect(QDir(folder), patterns, progress, found)) {
        return {};
    }
    return found;
}

} // namespace fw
