// tarvo-guard: runs one captured program so that it ends with Tarvo, however Tarvo ends.
//
//   tarvo-guard PARENT-PID PROGRAM ARGV0 [ARGUMENT...]
//
// Tarvo starts the guard as the leader of a session and process group of its own, with the
// program's standard input, output and error already in place and one end of a socket pair (the
// lifeline) as descriptor 3. The guard starts PROGRAM with ARGV0 and the arguments in its group,
// reports on the lifeline whether the start worked (four bytes: 0, or the errno of the failed
// exec), and then waits. When the program ends, the guard ends the same way (the same exit code,
// or the same signal), so that Tarvo reads the program's status as its own. When Tarvo ends, its
// end of the lifeline closes, and the guard kills its whole process group: the program and
// everything it started there. PARENT-PID, when not 0, also asks the kernel to signal the guard
// when that process's starting thread ends, and lets a guard whose parent is already gone end at
// once.
//
// Plain POSIX and Linux calls only: the guard is small and starts fast.

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kLifeline = 3;
constexpr int kUsageExit = 125;
constexpr int kStartFailedExit = 127;
// The signal the kernel sends the guard when Tarvo's starting thread ends.
constexpr int kParentDeathSignal = SIGTERM;

void killGroup() {
    kill(0, SIGKILL); // the guard itself included
    _exit(kStartFailedExit);
}

bool writeAll(int descriptor, const void *data, size_t size) {
    const char *bytes = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t written = write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// In the forked child: the program with a clean signal mask, or the errno of its failed exec
// written to report.
[[noreturn]] void execProgram(const char *program, char **arguments, int report) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    execv(program, arguments);
    const int error = errno;
    writeAll(report, &error, sizeof error);
    _exit(kStartFailedExit);
}

// The errno of the child's failed exec, or 0 when the exec worked (the report pipe closed on it).
int startError(int report) {
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(report, &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

// The guard keeps nothing of the program's input and output open, so that they end when the
// program and what it started close them.
void letGoOfStandardDescriptors() {
    const int null = open("/dev/null", O_RDWR);
    if (null < 0) {
        return;
    }
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        dup2(null, descriptor);
    }
    if (null > STDERR_FILENO) {
        close(null);
    }
}

// Ends the guard as the program ended: with its exit code, or by its signal.
[[noreturn]] void endAs(int status) {
    if (WIFSIGNALED(status)) {
        const int signalNumber = WTERMSIG(status);
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        signal(signalNumber, SIG_DFL);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, signalNumber);
        sigprocmask(SIG_UNBLOCK, &only, nullptr);
        raise(signalNumber);
        _exit(128 + signalNumber);
    }
    _exit(WIFEXITED(status) ? WEXITSTATUS(status) : kStartFailedExit);
}

// Waits for the program's end or Tarvo's, whichever comes first.
[[noreturn]] void watch(pid_t child, int signals) {
    for (;;) {
        pollfd watched[] = {{kLifeline, POLLIN, 0}, {signals, POLLIN, 0}};
        if (poll(watched, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            killGroup();
        }
        if (watched[0].revents != 0) {
            char ignored[64];
            const ssize_t got = read(kLifeline, ignored, sizeof ignored);
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) {
                killGroup(); // Tarvo has gone
            }
        }
        if (watched[1].revents != 0) {
            signalfd_siginfo info{};
            if (read(signals, &info, sizeof info) == static_cast<ssize_t>(sizeof info)
                && info.ssi_signo != SIGCHLD) {
                killGroup(); // Tarvo's thread ended, or someone asked the run to end
            }
            int status = 0;
            const pid_t ended = waitpid(child, &status, WNOHANG);
            if (ended == child) {
                endAs(status);
            }
        }
    }
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 4 || fcntl(kLifeline, F_SETFD, FD_CLOEXEC) != 0) {
        return kUsageExit;
    }
    const pid_t parent = static_cast<pid_t>(std::atol(argv[1]));
    if (parent != 0) {
        prctl(PR_SET_PDEATHSIG, kParentDeathSignal);
        if (getppid() != parent) {
            return kStartFailedExit; // Tarvo ended before the death signal was asked for
        }
    }
    sigset_t handled;
    sigemptyset(&handled);
    for (const int signalNumber : {SIGCHLD, kParentDeathSignal, SIGHUP, SIGINT}) {
        sigaddset(&handled, signalNumber);
    }
    sigprocmask(SIG_BLOCK, &handled, nullptr);
    const int signals = signalfd(-1, &handled, SFD_CLOEXEC);
    int report[2];
    if (signals < 0 || pipe2(report, O_CLOEXEC) != 0) {
        return kStartFailedExit;
    }
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        writeAll(kLifeline, &error, sizeof error);
        return kStartFailedExit;
    }
    if (child == 0) {
        close(report[0]);
        execProgram(argv[2], argv + 3, report[1]);
    }
    close(report[1]);
    const int error = startError(report[0]);
    close(report[0]);
    if (!writeAll(kLifeline, &error, sizeof error)) {
        killGroup();
    }
    if (error != 0) {
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        return kStartFailedExit;
    }
    letGoOfStandardDescriptors();
    watch(child, signals);
}
