#include "tools/processrunner.h"

#include "tools/childprocess.h"
#include "tools/commandline.h"
#include "tools/lineends.h"

#include <QString>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Bytes taken from the pipe by one read, and the pipe's capacity asked for: a large pipe lets a
// fast writer and the reader switch less often. The captured text does not depend on either.
constexpr qsizetype kReadSize = 1024 * 1024;
constexpr int kPipeCapacity = 1024 * 1024;
// The output of an exiting child ends a moment before the child can be reaped; a child that
// still runs this long after its output ended has closed its output on purpose.
constexpr std::chrono::milliseconds kExitGrace = 500ms;
constexpr std::chrono::milliseconds kLongestExitPoll = 20ms;

constexpr char kExitLine[] = "Exit code: %d";
constexpr char kNoErrors[] = "\r\nNo Errors";
constexpr char kTerminatedByUser[] = "\r\nProcess terminated by user.";
constexpr char kStillActive[] = "\r\nError - process still active!";
constexpr char kThereWereErrors[] = "\r\nThere were errors";
constexpr char kProcessErrors[] = "Warning! There were process errors";

// The standard input of a run started with input. A socket rather than a pipe, so that writing
// after the child has gone fails with EPIPE instead of raising SIGPIPE in the application. The
// writer thread alone writes and closes the descriptor; the channel outlives the run for it.
struct InputChannel {
    std::mutex lock;
    std::condition_variable changed;
    QByteArray pending;     // sent, not yet written
    int writeEnd = -1;      // -1 once the writer has closed it
    bool closing = false;   // no more input: the writer ends after writing what is pending
    bool abandoned = false; // the run is over: what is pending is dropped
};

// The one captured run of the process. Made once and never destroyed, so that a reader thread
// that still runs while the application exits finds it valid.
struct RunnerState {
    std::mutex lock;
    QByteArray processOutput;
    bool processRunning = false;
    pid_t child = 0;      // the child until the reader has reaped it; 0 when there is none
    int pipeReadEnd = -1; // read by the reader thread only, closed by it at the end
    std::optional<int> terminatedWith;   // exit code given to a successful Terminate
    bool outputEnded = false;            // the reader has seen the end of the output
    std::shared_ptr<InputChannel> input; // the run's input while it is open, else none
};

RunnerState &runnerState() {
    static RunnerState *const state = new RunnerState;
    return *state;
}

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

void captureOutput(int readEnd) {
    RunnerState &state = runnerState();
    QByteArray buffer(kReadSize, Qt::Uninitialized);
    for (;;) {
        const ssize_t count = read(readEnd, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            const std::lock_guard guard(state.lock);
            state.outputEnded = true;
            return;
        }
        const std::lock_guard guard(state.lock);
        AppendCapturedChunk(state.processOutput, QByteArrayView(buffer.constData(), count));
    }
}

// Writes all of chunk to descriptor; false when the child no longer reads its input.
bool writeAll(int descriptor, const QByteArray &chunk) {
    for (qsizetype from = 0; from < chunk.size();) {
        const ssize_t count = send(descriptor, chunk.constData() + from,
                                   static_cast<size_t>(chunk.size() - from), MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        from += count;
    }
    return true;
}

// Writes what is sent to the channel until the input is closed, the run is over or the child
// stops reading it; then closes the child's input.
void writeInput(const std::shared_ptr<InputChannel> &channel) {
    for (;;) {
        QByteArray chunk;
        {
            std::unique_lock guard(channel->lock);
            channel->changed.wait(guard, [&] {
                return !channel->pending.isEmpty() || channel->closing || channel->abandoned;
            });
            if (channel->abandoned || channel->pending.isEmpty()) {
                break;
            }
            chunk.swap(channel->pending);
        }
        if (!writeAll(channel->writeEnd, chunk)) {
            break;
        }
    }
    const std::lock_guard guard(channel->lock);
    close(channel->writeEnd);
    channel->writeEnd = -1;
    channel->closing = true;
}

// Ends a run's input for good, waking a writer that waits for the child to read.
void abandonInput(const std::shared_ptr<InputChannel> &channel) {
    if (!channel) {
        return;
    }
    const std::lock_guard guard(channel->lock);
    channel->abandoned = true;
    if (channel->writeEnd >= 0) {
        shutdown(channel->writeEnd, SHUT_RDWR);
    }
    channel->changed.notify_all();
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

void finishRun(int readEnd, pid_t child) {
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
        if (exitStatus) {
            // The exit line holds no line break, so appending it keeps the text normalised.
            state.processOutput.append(QString::asprintf(kExitLine, *exitStatus).toLatin1());
            state.processOutput.append(verdictFor(*exitStatus));
        } else {
            state.processOutput.append(kProcessErrors);
        }
        state.processRunning = false;
        state.child = 0;
        state.terminatedWith.reset();
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
}

void readerThread() {
    RunnerState &state = runnerState();
    int readEnd = -1;
    pid_t child = 0;
    {
        const std::lock_guard guard(state.lock); // waits until Start has set up the run
        readEnd = state.pipeReadEnd;
        child = state.child;
    }
    captureOutput(readEnd);
    finishRun(readEnd, child);
}

} // namespace

CProcessRunner::~CProcessRunner() = default;

bool CProcessRunner::Start(const QString &applicationPath, const QString &commandLine,
                           const QString &currentFolder, bool withInput) {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    if (state.processRunning) {
        return false;
    }
    state.processOutput.clear();

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
    }
    const pid_t child = withInput && inputEnds[0] < 0
                            ? -1
                            : StartChildInNewSession(applicationPath, arguments, currentFolder,
                                                     writeEnd, inputEnds[0]);
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
    const std::lock_guard guard(state.lock);
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

ProcessOutputUpdate ProcessOutputSince(qsizetype shownLength) {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    const QByteArray &text = state.processOutput;
    const qsizetype from = std::clamp<qsizetype>(shownLength, 0, text.size());
    // A deep copy: sharing the buffer would make the reader's next append copy the whole text.
    return {QByteArray(text.constData() + from, text.size() - from), text.size(),
            state.processRunning};
}

QByteArray ProcessOutputText(bool *running) {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    if (running) {
        *running = state.processRunning;
    }
    return QByteArray(state.processOutput.constData(), state.processOutput.size());
}

bool IsProcessInputOpen() {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    if (!state.input) {
        return false;
    }
    const std::lock_guard channelGuard(state.input->lock);
    return !state.input->closing && !state.input->abandoned;
}

bool SendProcessInput(const QString &line) {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    if (!state.input) {
        return false;
    }
    const QByteArray bytes = line.toLocal8Bit();
    {
        const std::lock_guard channelGuard(state.input->lock);
        if (state.input->closing || state.input->abandoned) {
            return false;
        }
        state.input->pending.append(bytes);
        state.input->pending.append('\n');
        state.input->changed.notify_all();
    }
    AppendCapturedChunk(state.processOutput, bytes);
    AppendCapturedChunk(state.processOutput, "\n");
    return true;
}

void CloseProcessInput() {
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    if (!state.input) {
        return;
    }
    const std::lock_guard channelGuard(state.input->lock);
    state.input->closing = true;
    state.input->changed.notify_all();
}
