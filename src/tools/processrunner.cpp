#include "tools/processrunner.h"

#include "tools/childprocess.h"
#include "tools/commandline.h"
#include "tools/lineends.h"
#include "tools/runnerstate.h"

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace {

using namespace std::chrono_literals;
using runner::abandonInput;
using runner::InputChannel;
using runner::keepOutputBounded;
using runner::RunnerState;
using runner::runnerState;
using runner::writeInput;

// Bytes taken from the pipe by one read, and the pipe's capacity asked for: a large pipe lets a
// fast writer and the reader switch less often. The captured text does not depend on either.
constexpr qsizetype kReadSize = 1024 * 1024;
constexpr int kPipeCapacity = 1024 * 1024;
// The output of an exiting child ends a moment before the child can be reaped; a child that
// still runs this long after its output ended has closed its output on purpose.
constexpr std::chrono::milliseconds kExitGrace = 500ms;
constexpr std::chrono::milliseconds kLongestExitPoll = 20ms;
// Once the child has ended, its output may go on this long before the run ends without it.
constexpr std::chrono::milliseconds kOutputGrace = 500ms;
// After a read of fewer bytes than kSmallRead the reader waits kGatherPause before it reads on.
constexpr ssize_t kSmallRead = 64 * 1024;
constexpr std::chrono::milliseconds kGatherPause = 2ms;
// How often the child is looked at where its end cannot be waited for.
constexpr std::chrono::milliseconds kExitPoll = 100ms;

constexpr char kExitLine[] = "Exit code: %d";
constexpr char kNoErrors[] = "\r\nNo Errors";
constexpr char kTerminatedByUser[] = "\r\nProcess terminated by user.";
constexpr char kStillActive[] = "\r\nError - process still active!";
constexpr char kThereWereErrors[] = "\r\nThere were errors";
constexpr char kProcessErrors[] = "Warning! There were process errors";

// Whether the child has ended, leaving it unreaped; nullopt when that cannot be told.
std::optional<bool> hasChildExited(pid_t child) {
    siginfo_t info{};
    while (waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
    return info.si_pid != 0;
}

// As hasChildExited, but a child that has not ended yet gets a grace period.
std::optional<bool> waitForExitAfterOutput(pid_t child) {
    const auto deadline = std::chrono::steady_clock::now() + kExitGrace;
    std::chrono::milliseconds pause = 1ms;
    for (;;) {
        const std::optional<bool> exited = hasChildExited(child);
        if (exited != false || std::chrono::steady_clock::now() >= deadline) {
            return exited;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, kLongestExitPoll);
    }
}

// Reaps a child known to have ended: its exit code, or -S for a death by signal S.
std::optional<int> reapExitStatus(pid_t child) {
    int status = 0;
    pid_t result = 0;
    do {
        result = waitpid(child, &status, 0);
    } while (result < 0 && errno == EINTR);
    if (result != child) {
        return std::nullopt;
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return -WTERMSIG(status);
    }
    return std::nullopt;
}

const char *verdictFor(int exitStatus) {
    switch (exitStatus) {
    case 0:
        return kNoErrors;
    case kUserAbortExitCode:
        return kTerminatedByUser;
    case kStillActiveExitCode:
        return kStillActive;
    default:
        return kThereWereErrors;
    }
}

// A descriptor that becomes readable when the child ends, or -1 where the system has none.
int openExitDescriptor(pid_t child) {
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, child, 0));
#else
    Q_UNUSED(child);
    return -1;
#endif
}

// Waits until the output can be read or the child has ended; false once the child has ended.
bool waitForOutputOrExit(int readEnd, int exitDescriptor, pid_t child) {
    for (;;) {
        pollfd watched[] = {{readEnd, POLLIN, 0}, {exitDescriptor, POLLIN, 0}};
        const int timeout = exitDescriptor >= 0 ? -1 : static_cast<int>(kExitPoll.count());
        const int ready = poll(watched, exitDescriptor >= 0 ? 2 : 1, timeout);
        if (ready < 0 && errno != EINTR) {
            return true; // let the read tell what is wrong
        }
        // The end of the child counts first, so that output that never ends cannot hide it.
        if (watched[1].revents != 0 || (exitDescriptor < 0 && hasChildExited(child) == true)) {
            return false;
        }
        if (watched[0].revents != 0) {
            return true;
        }
    }
}

// Whether more output comes within the grace time.
bool waitForOutputWithin(int readEnd, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd watched{readEnd, POLLIN, 0};
        const int ready = poll(&watched, 1, static_cast<int>(left.count()) + 1);
        if (ready > 0 || (ready < 0 && errno != EINTR)) {
            return true;
        }
    }
}

// Appends the exit line and the verdict of an exit status, or the process-error line when the
// status is unknown, and ends the run. Called under the lock.
void appendExitAndEnd(RunnerState &state, std::optional<int> exitStatus) {
    if (exitStatus) {
        // The exit line holds no line break, so appending it keeps the text normalised.
        state.processOutput.append(QString::asprintf(kExitLine, *exitStatus).toLatin1());
        state.processOutput.append(verdictFor(*exitStatus));
    } else {
        state.processOutput.append(kProcessErrors);
    }
    state.processRunning = false;
    state.terminatedWith.reset();
}

// Reads the output until it ends. Once the child itself has ended, the output is given a grace
// time to end too: a process the child left behind may hold it open for ever, and the run must
// end all the same.
void captureOutput(int readEnd, pid_t child) {
    RunnerState &state = runnerState();
    const int exitDescriptor = openExitDescriptor(child);
    std::optional<std::chrono::steady_clock::time_point> graceEnd;
    QByteArray buffer(kReadSize, Qt::Uninitialized);
    for (;;) {
        if (!graceEnd && !waitForOutputOrExit(readEnd, exitDescriptor, child)) {
            graceEnd = std::chrono::steady_clock::now() + kOutputGrace;
        }
        if (graceEnd && !waitForOutputWithin(readEnd, *graceEnd)) {
            break; // the output stays open behind the ended child: stop reading
        }
        const ssize_t count = read(readEnd, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            const std::lock_guard guard(state.lock);
            state.outputEnded = true;
            break;
        }
        {
            const std::lock_guard guard(state.lock);
            AppendCapturedChunk(state.processOutput, QByteArrayView(buffer.constData(), count));
            keepOutputBounded(state);
        }
        if (count < kSmallRead) {
            // A program printing line by line writes a few bytes at a time: waking for each
            // write costs far more than the bytes. A short pause lets the pipe gather them.
            std::this_thread::sleep_for(kGatherPause);
        }
    }
    if (exitDescriptor >= 0) {
        close(exitDescriptor);
    }
}

// A descriptor above the standard ones, so that placing the child's standard descriptors
// cannot overwrite it; -1 when none is left.
int aboveStandardDescriptors(int descriptor) {
    if (descriptor > STDERR_FILENO) {
        return descriptor;
    }
    const int moved = fcntl(descriptor, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    close(descriptor);
    return moved;
}

// lifeline is the guard's (see StartGuardedChild), or -1: it is closed once the child has been
// reaped, so that the guard, while it lives, ends its group only when the application ends.
void finishRun(int readEnd, pid_t child, int lifeline) {
    const std::optional<bool> exited = waitForExitAfterOutput(child);
    RunnerState &state = runnerState();
    {
        const std::lock_guard guard(state.lock);
        // Reaping only under the lock keeps the child's id from being reused while Terminate
        // may still signal its process group.
        std::optional<int> exitStatus;
        if (exited == false) {
            exitStatus = kStillActiveExitCode;
        } else if (exited == true) {
            exitStatus = reapExitStatus(child);
            if (exitStatus && state.terminatedWith) {
                exitStatus = state.terminatedWith;
            }
        }
        appendExitAndEnd(state, exitStatus);
        state.child = 0;
        close(readEnd);
        state.pipeReadEnd = -1;
        abandonInput(state.input);
        state.input.reset();
    }
    if (exited == false) {
        // The run is over for everybody else; this thread stays to reap the child when it ends,
        // so that it never lingers as a zombie.
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    if (lifeline >= 0) {
        close(lifeline);
    }
}

void readerThread() {
    RunnerState &state = runnerState();
    int readEnd = -1;
    pid_t child = 0;
    int lifeline = -1;
    {
        const std::lock_guard guard(state.lock); // waits until Start has set up the run
        readEnd = state.pipeReadEnd;
        child = state.child;
        lifeline = std::exchange(state.lifeline, -1);
    }
    captureOutput(readEnd, child);
    finishRun(readEnd, child, lifeline);
}

// Empties the text for a new run. Called under the lock.
void beginRun(RunnerState &state) {
    state.processOutput.clear();
    state.processOutput.squeeze();
    ++state.generation;
    ++state.runNumber;
    state.runLimits = state.limits;
    state.headEnd = -1;
    state.tailStart = 0;
    state.leftOut = 0;
    state.leftOutLines = 0;
    state.terminatedWith.reset();
}

} // namespace

CProcessRunner::~CProcessRunner() = default;

quint64 CProcessRunner::StartFed(const QString &commandLine, const QString &currentFolder,
                                 std::function<void()> abort) {
    m_commandLine = commandLine;
    m_currentFolder = currentFolder;
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    if (state.processRunning) {
        return 0;
    }
    beginRun(state);
    state.fedRun = ++state.lastFedRun;
    state.abortFedRun = std::move(abort);
    state.processRunning = true;
    return state.fedRun;
}

void AppendFedOutput(quint64 run, QByteArrayView bytes) {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    if (run == 0 || state.fedRun != run) {
        return;
    }
    AppendCapturedChunk(state.processOutput, bytes);
    keepOutputBounded(state);
}

void FinishFedRun(quint64 run, int exitStatus) {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    if (run == 0 || state.fedRun != run) {
        return;
    }
    appendExitAndEnd(state, state.terminatedWith.value_or(exitStatus));
    state.fedRun = 0;
    state.abortFedRun = nullptr;
}

bool DropFedRun(quint64 run) {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    if (run == 0 || state.fedRun != run) {
        return false;
    }
    beginRun(state);
    state.processRunning = false;
    state.fedRun = 0;
    state.abortFedRun = nullptr;
    return true;
}

bool CProcessRunner::Start(const QString &applicationPath, const QString &commandLine,
                           const QString &currentFolder, bool withInput) {
    m_commandLine = commandLine;
    m_currentFolder = currentFolder;
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    if (state.processRunning) {
        return false;
    }
    beginRun(state);

    const QStringList arguments = ExpandArguments(SplitCommandLine(commandLine), currentFolder);
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return false;
    }
    const auto [readEnd, writeEnd] = pipeEnds;
    fcntl(readEnd, F_SETPIPE_SZ, kPipeCapacity); // a smaller pipe only costs speed
    int inputEnds[2] = {-1, -1};                 // the child's end, the writer's end
    if (withInput) {
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, inputEnds) != 0) {
            close(readEnd);
            close(writeEnd);
            return false;
        }
        inputEnds[0] = aboveStandardDescriptors(inputEnds[0]);
        shutdown(inputEnds[1], SHUT_RD); // the child's input only goes one way
    } else if (!m_inputFile.isEmpty()) {
        const int file = open(QFile::encodeName(m_inputFile).constData(), O_RDONLY | O_CLOEXEC);
        inputEnds[0] = file < 0 ? -1 : aboveStandardDescriptors(file);
        if (inputEnds[0] < 0) {
            close(readEnd);
            close(writeEnd);
            return false;
        }
    }
    int lifeline = -1;
    const pid_t child = withInput && inputEnds[0] < 0
                            ? -1
                            : StartGuardedChild(applicationPath, arguments, currentFolder, writeEnd,
                                                &lifeline, inputEnds[0]);
    // Without the parent's write end the pipe ends once the child and whatever inherited its
    // output have closed it; the same holds for the child's end of its input.
    close(writeEnd);
    if (inputEnds[0] >= 0) {
        close(inputEnds[0]);
    }
    if (child <= 0) {
        close(readEnd);
        if (inputEnds[1] >= 0) {
            close(inputEnds[1]);
        }
        return false;
    }
    std::shared_ptr<InputChannel> input;
    if (withInput) {
        input = std::make_shared<InputChannel>();
        input->writeEnd = inputEnds[1];
    }

    state.child = child;
    state.pipeReadEnd = readEnd;
    state.lifeline = lifeline;
    state.terminatedWith.reset();
    state.outputEnded = false;
    state.processRunning = true; // before the thread starts, so its clearing comes last
    bool writerStarted = false;
    try {
        if (input) {
            std::thread(writeInput, input).detach();
            writerStarted = true;
        }
        state.input = input;
        std::thread(readerThread).detach();
    } catch (const std::system_error &) {
        kill(-child, SIGKILL);
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        if (lifeline >= 0) {
            close(lifeline);
        }
        state.lifeline = -1;
        if (writerStarted) {
            abandonInput(input); // the writer closes the child's input
        } else if (input) {
            close(input->writeEnd);
        }
        state.input.reset();
        close(readEnd);
        state.child = 0;
        state.pipeReadEnd = -1;
        state.processRunning = false;
        return false;
    }
    return true;
}

bool CProcessRunner::Terminate(int exitCode) {
    RunnerState &state = runnerState();
    std::unique_lock guard(state.lock);
    if (state.fedRun != 0) {
        state.terminatedWith = exitCode;
        const std::function<void()> abort = state.abortFedRun;
        guard.unlock();
        if (abort) {
            abort();
        }
        return true;
    }
    if (state.child <= 0) {
        return false;
    }
    const std::optional<bool> exited = hasChildExited(state.child);
    // The child itself has ended but what it started still holds the output open, so the run
    // would never end: abort ends the rest of its process group. The unreaped child keeps its
    // group id from being reused meanwhile.
    const bool groupStillWriting = exited == true && !state.outputEnded;
    if (exited != false && !groupStillWriting) {
        return exited.has_value(); // the status was read, or could not be
    }
    if (kill(-state.child, SIGKILL) != 0) {
        return false;
    }
    state.terminatedWith = exitCode;
    return true;
}

bool IsProcessRunning() {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    return state.processRunning;
}
