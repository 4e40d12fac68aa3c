#pragma once

#include <QDir>
#include <QFile>

#include <chrono>
#include <functional>
#include <thread>

#include <unistd.h>

// Helpers for tests that run real child processes written as small shell scripts.
namespace tools_test {

inline QString writeScript(const QString &folder, const QString &name, const QByteArray &body) {
    QFile file(folder + "/" + name);
    if (file.open(QIODevice::WriteOnly)) {
        file.write("#!/bin/sh\n" + body + "\n");
        file.setPermissions(file.permissions() | QFile::ExeOwner);
    }
    return file.fileName();
}

// Polls condition until it holds or a generous time has passed (a hang, not a speed check).
inline bool waitUntil(const std::function<bool()> &condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return condition();
}

// The state letter of a process ('Z' for a zombie), '\0' once it is gone; its parent in *parent.
inline char processState(const QString &process, pid_t *parent = nullptr) {
    QFile stat("/proc/" + process + "/stat");
    const QByteArray line = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (parent) {
        *parent = fields.value(1).toInt();
    }
    return fields[0].isEmpty() ? '\0' : fields[0][0];
}

inline int zombieChildCount() {
    int zombies = 0;
    for (const QString &process : QDir("/proc").entryList(QDir::Dirs)) {
        pid_t parent = 0;
        zombies += processState(process, &parent) == 'Z' && parent == getpid();
    }
    return zombies;
}

inline QStringList descriptorTargets(const QString &process) {
    QStringList targets;
    const QDir folder("/proc/" + process + "/fd");
    for (const QString &descriptor : folder.entryList(QDir::System, QDir::Name)) {
        char target[256] = {};
        if (readlink(QFile::encodeName(folder.filePath(descriptor)), target, sizeof target - 1)
            > 0) {
            targets.append(descriptor + " " + target);
        }
    }
    return targets;
}

// The text of a file a child writes, once it ends with a line end.
inline QString readWhenWritten(const QString &path) {
    QByteArray text;
    waitUntil([&] {
        QFile file(path);
        text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        return text.endsWith('\n');
    });
    return QString::fromUtf8(text);
}

} // namespace tools_test
