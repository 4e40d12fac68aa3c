#include "childscripts.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <thread>

#include <signal.h>
#include <unistd.h>

namespace tools_test {

namespace {
constexpr auto kHangTimeout = std::chrono::seconds(60);
constexpr auto kPollPause = std::chrono::milliseconds(2);

// The state letter of /proc/<id>/stat, '\0' when the process does not exist.
char processState(pid_t process, pid_t *parent = nullptr) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(process));
    if (!stat.open(QIODevice::ReadOnly)) {
        return '\0';
    }
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (parent && fields.size() > 1) {
        *parent = fields[1].toInt();
    }
    return fields.isEmpty() || fields[0].isEmpty() ? '\0' : fields[0][0];
}
} // namespace

QString writeScript(const QString &folder, const QString &name, const QByteArray &body) {
    const QString path = folder + QStringLiteral("/") + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write("#!/bin/sh\n" + body + "\n");
        file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser);
    }
    return path;
}

bool waitUntil(const std::function<bool()> &condition) {
    const auto deadline = std::chrono::steady_clock::now() + kHangTimeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollPause);
    }
    return true;
}

bool processExists(pid_t process) {
    return processState(process) != '\0';
}

bool processRuns(pid_t process) {
    const char state = processState(process);
    return state != '\0' && state != 'Z';
}

int openDescriptorCount() {
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::System).size());
}

int zombieChildCount() {
    int zombies = 0;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isNumber = false;
        const pid_t process = entry.toInt(&isNumber);
        pid_t parent = 0;
        if (isNumber && processState(process, &parent) == 'Z' && parent == getpid()) {
            ++zombies;
        }
    }
    return zombies;
}

pid_t readPidFile(const QString &path) {
    QByteArray text;
    waitUntil([&] {
        QFile file(path);
        text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        return text.endsWith('\n');
    });
    return text.trimmed().toInt();
}

} // namespace tools_test
