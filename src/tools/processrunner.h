#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Exit status reported when the child's output has ended while the child still runs.
inline constexpr int kStillActiveExitCode = 259;
// The exit code an abort by the user passes to Terminate.
inline constexpr int kUserAbortExitCode = 11;

// What the output window takes from the captured text at one poll, read under the runner's lock.
struct ProcessOutputUpdate {
    QByteArray added; // the text after the length the caller has already shown
    qsizetype length; // length of the whole text now; smaller than the shown length after a restart
    bool running;     // processRunning at the same moment
    // Changes whenever the text changes other than by growing at its end (a new run, output
    // left out): the caller's copy then no longer is a prefix of it.
    quint64 generation;
};

// A stretch of the output of the run in progress (or the last run), as the output window takes it
// from a position of its own: positions count the bytes of the whole output as it came, left-out
// bytes included, and stay valid while the run lasts. A window that is far behind is handed
// only the latest bytes (from a line start where one is near): it learns how many line ends it
// missed from linesBefore.
struct ProcessOutputStretch {
    QByteArray added;
    qint64 from;        // the position of the first byte of added; after the asked one when bytes
                        // were passed over
    qint64 end;         // the position after added
    qint64 linesBefore; // the line ends before from when bytes were passed over, else -1
    qint64 size;        // the size of the whole output now
    bool running;       // processRunning at the same moment
    quint64 run;        // changes with every run, and only then
};

// How much of a run's output is kept. A run that prints without end keeps its first `head`
// bytes and its latest `tail` bytes, with one line in between saying how many bytes were left
// out ("... N bytes of output left out ..."); the exit line and the verdict always follow. What
// lies between is dropped once more than `slack` bytes beyond the tail have come, so the kept
// text never exceeds head + tail + slack and a marker line, and each byte is moved only a few
// times. Cuts fall at a line start where one is near, else between characters.
struct CapturedOutputLimits {
    qsizetype head = 1024 * 1024;
    qsizetype tail = 6 * 1024 * 1024;
    qsizetype slack = 2 * 1024 * 1024;
};

// Sets the limits for the runs started from now on (tests use small ones).
void SetCapturedOutputLimits(const CapturedOutputLimits &limits);
CapturedOutputLimits CapturedOutputLimitsInUse();

// One captured run of a tool. At most one run exists in the process at a time, and the state of
// that run (processOutput, processRunning, the child and its output pipe) belongs to the process,
// not to this object: every operation acts on that shared state under one lock, and destroying
// a runner neither stops its child nor touches the state.
//
// A run: Start empties processOutput, starts the child with standard output and standard error
// joined into one pipe, sets processRunning and starts a reader thread. The reader appends what
// the child writes, line ends normalised to CR LF and NUL bytes dropped, and when the output ends
// it appends "Exit code: %d" and a verdict and clears processRunning, both in one locked step.
// Once the child itself has ended, its output gets a short grace time to end: a process the
// child left behind holding it open does not keep the run going.
// A child still running when the application exits is left running.
//
// A run started with input reads its standard input from a channel of the runner; otherwise it
// reads /dev/null. Text sent to the channel is written to the child by a writer thread of the
// run, so sending never waits for the child to read.
class CProcessRunner {
public:
    CProcessRunner() = default;
    CProcessRunner(const CProcessRunner &) = delete;
    CProcessRunner &operator=(const CProcessRunner &) = delete;
    virtual ~CProcessRunner();

    // Starts applicationPath with the arguments split from commandLine (whose first word, the
    // tool's bare name, becomes argv[0]) in currentFolder. False, with nothing started, when a
    // run is in progress, the program cannot be started or the folder does not exist. With
    // withInput the child's standard input stays open for SendProcessInput.
    bool Start(const QString &applicationPath, const QString &commandLine,
               const QString &currentFolder, bool withInput = false);

    // Ends the child and its whole process group if the child still runs; the run then reports
    // exitCode. Returns whether the child was signalled or, when it had already ended, whether
    // its status could be read; false when there is no run.
    bool Terminate(int exitCode);

    // Starts a run without a child, whose text comes from this process: a tool run inside the
    // compiler service. It is a run as any other: processOutput is emptied and processRunning
    // set; AppendFedOutput adds to the text as the reader adds a child's output, and
    // FinishFedRun appends the exit line and verdict and ends it. Terminate calls abort, on the
    // thread that terminates and outside the lock, and the run then reports Terminate's exit
    // code. Returns the run's token, 0 (nothing started) when a run is in progress.
    quint64 StartFed(const QString &commandLine, const QString &currentFolder,
                     std::function<void()> abort);

    // The command line and folder of the last Start, as given: what the output window tells
    // the user it runs.
    const QString &commandLine() const { return m_commandLine; }
    const QString &currentFolder() const { return m_currentFolder; }
    // A file the child of the next Start without input reads as its standard input, instead of
    // /dev/null; Start fails when it cannot be opened.
    void setInputFile(const QString &path) { m_inputFile = path; }

private:
    QString m_commandLine;
    QString m_currentFolder;
    QString m_inputFile;
};

// The text and the end of a run started with StartFed; calls with the token of another run do
// nothing. FinishFedRun takes the exit status the tool gave, unless the run was terminated.
void AppendFedOutput(quint64 run, QByteArrayView bytes);
void FinishFedRun(quint64 run, int exitStatus);
// Ends the fed run without an exit line and empties processOutput, so that a child run can
// take its place (the service could not do it after all). False when it is no longer running.
bool DropFedRun(quint64 run);

// processRunning: true from a successful Start until the reader has appended the verdict.
bool IsProcessRunning();

// The text appended after shownLength, with the whole length and the running flag read
// together. Empty when shownLength is at or past the end.
ProcessOutputUpdate ProcessOutputSince(qsizetype shownLength);

// A copy of the whole of processOutput; *running, *generation and *run (see
// ProcessOutputStretch), when given, are read with it.
QByteArray ProcessOutputText(bool *running = nullptr, quint64 *generation = nullptr,
                             quint64 *run = nullptr);

// At most maxBytes of the output from position on (maxBytes > 0): from the kept head, the bytes
// up to its end; past it, the kept bytes from position, or with passOver the latest maxBytes
// when more are kept. Empty at the end.
ProcessOutputStretch ProcessOutputFrom(qint64 position, qsizetype maxBytes, bool passOver = true);

// Whether the current run was started with input and its input is neither closed nor ended.
bool IsProcessInputOpen();

// Queues line and a line break for the child's standard input and puts line and a line break
// into processOutput, as a console shows typed text. Never waits for the child. False, with
// nothing done, when the input is not open.
bool SendProcessInput(const QString &line);

// Ends the child's standard input once what was sent before has been written: the child reads
// end of input then. Nothing happens when the input is not open.
void CloseProcessInput();
