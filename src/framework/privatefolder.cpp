#include "framework/privatefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace fw {

namespace {

QByteArray encoded(const QString &path) {
    return QFile::encodeName(path);
}

// Whether a folder that is not Tarvo's own may hold its private folders: a folder of this user
// or of the system, which others cannot write, or can write only without taking away what is
// not theirs.
bool isSafeRoot(const QString &path) {
    struct stat info {};
    if (stat(encoded(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    if (info.st_uid != geteuid() && info.st_uid != 0) {
        return false;
    }
    return (info.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (info.st_mode & S_ISVTX) != 0;
}

// Whether a folder is one that only this user can have put anything in.
bool isPrivate(const struct stat &info) {
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid()
           && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Makes the folder 0700 when it is missing; then whether it is a private folder of this user.
bool makeOrCheckPrivate(const QString &path) {
    const QByteArray name = encoded(path);
    if (mkdir(name.constData(), 0700) == 0) {
        // The umask may have taken bits away that this user needs; others get none either way.
        chmod(name.constData(), 0700);
    } else if (errno != EEXIST) {
        return false;
    }
    struct stat info {};
    return lstat(name.constData(), &info) == 0 && isPrivate(info);
}

} // namespace

QString privateFolder(const QString &root, const QStringList &parts) {
    if (!QDir::isAbsolutePath(root)) {
        return QString();
    }
    if (!QFileInfo(root).isDir()) {
        QString path;
        for (const QString &part : root.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            path += QLatin1Char('/') + part;
            if (mkdir(encoded(path).constData(), 0700) != 0 && errno != EEXIST) {
                return QString();
            }
        }
    }
    if (!isSafeRoot(root)) {
        return QString();
    }
    QString path = root;
    for (const QString &part : parts) {
        path += QLatin1Char('/') + part;
        if (!makeOrCheckPrivate(path)) {
            return QString();
        }
    }
    return path;
}

QString stateRoot() {
    const QString configured = qEnvironmentVariable("XDG_STATE_HOME");
    if (QDir::isAbsolutePath(configured)) {
        return QDir::cleanPath(configured);
    }
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.local/state"));
}

} // namespace fw
