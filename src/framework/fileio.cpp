#include "framework/fileio.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fw {

namespace {

constexpr qint64 kReadChunk = 64 * 1024;
constexpr qint64 kBytesPerMegabyte = 1024 * 1024;

QString notRegularReason() {
    return QStringLiteral("It is not a regular file.");
}

QString tooLargeReason(qint64 size, qint64 maxSize) {
    return QStringLiteral("The file is too large to open (%1 MB; at most %2 MB can be opened).")
        .arg((size + kBytesPerMegabyte - 1) / kBytesPerMegabyte)
        .arg(maxSize / kBytesPerMegabyte);
}

#ifdef Q_OS_UNIX
FileStamp stampOf(const struct stat &info) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = info.st_size;
    stamp.modifiedNs = qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    stamp.inode = info.st_ino;
    stamp.device = info.st_dev;
    return stamp;
}
#endif

// Reads an open file to its end, but no more than maxSize bytes: a file that grows while it is
// read cannot make the read unbounded.
bool readAtMost(QFile &file, qint64 expectedSize, qint64 maxSize, QByteArray *bytes,
                QString *error) {
    QByteArray read;
    read.reserve(qMin(expectedSize, maxSize) + 1);
    for (;;) {
        const QByteArray chunk = file.read(kReadChunk);
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError) {
                *error = file.errorString();
                return false;
            }
            break;
        }
        read += chunk;
        if (read.size() > maxSize) {
            *error = tooLargeReason(read.size(), maxSize);
            return false;
        }
    }
    *bytes = std::move(read);
    return true;
}

} // namespace

FileStamp FileStamp::of(const QString &path) {
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return {};
    }
    return stampOf(info);
#else
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1'000'000;
    return stamp;
#endif
}

bool readWholeFile(const QString &path, QByteArray *bytes, QString *error, qint64 maxSize,
                   FileStamp *stamp) {
#ifdef Q_OS_UNIX
    // Opened without blocking, so that a pipe with no writer cannot hold the open; the kind of
    // file is then asked of the open file itself, not of a name that may change meanwhile.
    const int handle =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) {
        *error = qt_error_string(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode)) {
        *error = S_ISDIR(info.st_mode) ? qt_error_string(EISDIR) : notRegularReason();
        ::close(handle);
        return false;
    }
    if (info.st_size > maxSize) {
        *error = tooLargeReason(info.st_size, maxSize);
        ::close(handle);
        return false;
    }
    QFile file;
    if (!file.open(handle, QIODevice::ReadOnly | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle)) {
        *error = file.errorString();
        ::close(handle);
        return false;
    }
    if (stamp) {
        *stamp = stampOf(info);
    }
    return readAtMost(file, info.st_size, maxSize, bytes, error);
#else
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        *error = notRegularReason();
        return false;
    }
    if (info.size() > maxSize) {
        *error = tooLargeReason(info.size(), maxSize);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    if (stamp) {
        *stamp = FileStamp::of(path);
    }
    return readAtMost(file, info.size(), maxSize, bytes, error);
#endif
}

bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error) {
    QSaveFile file(path);
    // Unbuffered: a buffered write that fails only when the buffer is flushed inside commit()
    // is not seen by the save file, which would then put a cut-off file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    // A write that stops short (a full disk) reports no error; writing the rest then fails at
    // once with the system's reason.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0) {
            *error = file.errorString();
            file.cancelWriting();
            return false;
        }
        written += count;
    }
#ifdef Q_OS_UNIX
    // Some file systems report a full disk only when the data is forced out; commit() would
    // ignore that and replace the old file.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        *error = qt_error_string(errno);
        file.cancelWriting();
        return false;
    }
#endif
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace fw
