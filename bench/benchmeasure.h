#pragma once

#include "services/appsettings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

// What the benchmarks measure a process by, and the files and JDK they work with.

// The JDK the benchmarks run: the one Tarvo would use by default.
inline QString jdkFolder() {
    return AppSettings::defaultJdkFolder();
}

// Whether the JDK is there; says so when it is not, and the benchmark has nothing to measure.
inline bool haveJdk() {
    if (QFileInfo(jdkFolder() + QStringLiteral("/bin/javac")).isExecutable()) {
        return true;
    }
    std::printf("no JDK found\n");
    return false;
}

// Writes a file, making its folder; a file that cannot be written ends the benchmark.
inline void write(const QString &path, const QByteArray &text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        qFatal("Cannot write %s", qPrintable(path));
    }
}

// The machine's load over the last minute, printed with the figures; -1 when unknown.
inline double loadAverage() {
    QFile load(QStringLiteral("/proc/loadavg"));
    return load.open(QIODevice::ReadOnly) ? load.readAll().split(' ').first().toDouble() : -1;
}

// The resident size of a process in kilobytes (this one by default); 0 when unknown.
inline qint64 residentKb(qint64 process = getpid()) {
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLongLong();
        }
    }
    return 0;
}

// The processor time this process has taken, user and system, in milliseconds.
inline double cpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}
