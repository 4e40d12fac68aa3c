#pragma once
// The state of the one captured run, shared by the run's start and end (processrunner.cpp), its
// output (capturedoutput.cpp) and its input (processinput.cpp). Not for use outside them.

#include "tools/processrunner.h"

#include <QByteArray>

#include <sys/types.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace runner {

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
    int lifeline = -1;    // the guard's lifeline until the reader takes it over
    std::optional<int> terminatedWith;   // exit code given to a successful Terminate
    bool outputEnded = false;            // the reader has seen the end of the output
    quint64 generation = 0;              // see ProcessOutputUpdate
    CapturedOutputLimits limits;         // of the runs to come
    CapturedOutputLimits runLimits;      // of this run
    qsizetype headEnd = -1;              // end of the kept head once output was left out, else -1
    qsizetype tailStart = 0;             // where the kept tail begins, after the marker line
    qint64 leftOut = 0;                  // bytes left out between head and tail
    qint64 leftOutLines = 0;             // line ends among them
    quint64 runNumber = 0;               // changes with every run, and only then
    std::shared_ptr<InputChannel> input; // the run's input while it is open, else none
    quint64 fedRun = 0;                  // the token of the fed run in progress, else 0
    quint64 lastFedRun = 0;
    std::function<void()> abortFedRun;
};

inline RunnerState &runnerState() {
    static RunnerState *const state = new RunnerState;
    return *state;
}

// Once the text has grown past its limits, keeps its head and its latest tail with one line
// between them saying how much was left out. Called under the lock after each append.
void keepOutputBounded(RunnerState &state);

// Writes what is sent to the channel until the input is closed, the run is over or the child
// stops reading it; then closes the child's input.
void writeInput(const std::shared_ptr<InputChannel> &channel);

// Ends a run's input for good, waking a writer that waits for the child to read.
void abandonInput(const std::shared_ptr<InputChannel> &channel);

} // namespace runner
