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

// As StartChildInNewSession, but the program runs under tarvo-guard, which leads the session
// and process group and ends them all when this process ends, however it ends (a kill -9
// included). The process returned is the guard's: it ends as the program ends and reports the
// program's exit status as its own, so the caller waits for it as for the program, and killing
// its process group ends the program and what it started there. *lifeline receives this
// process's end of the guard's lifeline: the caller closes it only once the guard has been
// reaped, as closing it tells the guard to end the group. Where no guard program is found the
// program is started unguarded, as StartChildInNewSession does, and *lifeline is -1.
pid_t StartGuardedChild(const QString &program, const QStringList &arguments,
                        const QString &workingFolder, int outputDescriptor, int *lifeline,
                        int inputDescriptor = -1);

// The guard program: beside this executable, in ../libexec/tarvo as installed, or, for the
// programs of the build tree, where the build put it. Empty when there is none.
QString GuardProgram();
