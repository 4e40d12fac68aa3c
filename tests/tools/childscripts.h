#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

#include <sys/types.h>

namespace tools_test {

// Writes an executable /bin/sh script named name into folder and returns its path.
QString writeScript(const QString &folder, const QString &name, const QByteArray &body);

// Polls condition until it holds or a generous time has passed (a hang, not a speed check).
bool waitUntil(const std::function<bool()> &condition);

// Whether the process with this id exists at all (a zombie counts) / runs (a zombie does not).
bool processExists(pid_t process);
bool processRuns(pid_t process);

// Number of open descriptors of this process, and of its children that are zombies.
int openDescriptorCount();
int zombieChildCount();

// The process id a test script wrote into a file, once the file is there.
pid_t readPidFile(const QString &path);

} // namespace tools_test
