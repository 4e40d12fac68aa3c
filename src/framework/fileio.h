#pragma once

#include <QByteArray>
#include <QString>

namespace fw {

// The largest file that is read whole into a window or a project. A text of this size already
// takes gigabytes once it is laid out in an editor; anything larger is no source file a person
// edits, and reading it would only exhaust memory. Generated sources of tens of megabytes still
// open.
inline constexpr qint64 kMaxOpenFileSize = 128 * 1024 * 1024;

// One version of a file on disk: what changes when any program writes or replaces the file.
// Two stamps taken of an unchanged file are equal; a stamp of a missing file has exists false.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    quint64 device = 0;

    static FileStamp of(const QString &path);
    bool operator==(const FileStamp &) const = default;
};

// Reads a whole file; false with the reason when it cannot. Only a regular file is read: a
// device, a pipe or a folder is refused before anything is read from it (a pipe would block,
// a device might never end), and so is a file of more than maxSize bytes. The stamp, when
// asked for, is that of the file that was read.
bool readWholeFile(const QString &path, QByteArray *bytes, QString *error,
                   qint64 maxSize = kMaxOpenFileSize, FileStamp *stamp = nullptr);

// Writes bytes to path through a temporary file that replaces the old one only when every byte
// is written, so that a failed save leaves the old file whole. Returns false with the reason the
// system gave (such as "No space left on device").
bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error);

} // namespace fw
