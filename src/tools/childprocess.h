#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

// Starts program directly (never through a shell) with arguments as its whole argument list,
// argv[0] first, in workingFolder (the caller's folder when empty), as the leader of a session
// and process group of its own, with the parent's environment. Its standard input is
// inputDescriptor when that is not negative and reads /dev/null otherwise; when outputDescriptor is
// not negative its standard output and standard error are both that descriptor, otherwise they are
// inherited. No other descriptor reaches the child, and its signal mask and dispositions start at
// their defaults.
//
// Returns the child's process id, which the caller must reap. Returns -1 when the program could
// not be started (missing or not executable program, missing folder); no child is left then.
pid_t StartChildInNewSession(const QString &program, const QStringList &arguments,
                             const QString &workingFolder, int outputDescriptor,
                             int inputDescriptor = -1);
