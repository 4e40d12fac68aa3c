#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Writes size bytes of numbered text lines ("line 12: xxx...", each lineLength bytes with its
// LF) to a file, as a JDK tool prints them; the last byte is a LF. False when it cannot write.
namespace bench_support {

inline bool writeNumberedLines(const QString &path, qsizetype size, qsizetype lineLength) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    constexpr qsizetype kFlushSize = 1024 * 1024;
    QByteArray pending;
    qsizetype written = 0;
    for (qsizetype line = 0; written < size; ++line) {
        QByteArray text = "line " + QByteArray::number(line) + ": ";
        text += QByteArray(lineLength - 1 - text.size(), 'x') + '\n';
        text.truncate(size - written);
        text.back() = '\n';
        pending += text;
        written += text.size();
        if (pending.size() >= kFlushSize || written == size) {
            if (file.write(pending) != pending.size()) {
                return false;
            }
            pending.clear();
        }
    }
    return true;
}

} // namespace bench_support
