#include "tools/lineends.h"
#include "tools/runnerstate.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

// The standard input of the captured run: lines sent from the output window's input row are
// written to the child by a thread of their own, so that a child that does not read cannot
// block the user interface.

namespace {

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

} // namespace

namespace runner {

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

} // namespace runner

using runner::RunnerState;
using runner::runnerState;

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
    // Converted before the lock is taken: pasted input may be many megabytes.
    const QByteArray bytes = line.toLocal8Bit();
    RunnerState &state = runnerState();
    const std::lock_guard guard(state.lock);
    if (!state.input) {
        return false;
    }
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
    keepOutputBounded(state);
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
