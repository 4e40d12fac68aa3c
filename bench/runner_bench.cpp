// Capturing a tool that writes 100 MB through the process runner, beside reading the same bytes
// from `cat` through a plain pipe (dropping them, and keeping them in memory). Each reports its
// overall rate and the rates over the first and the last 10 MB, which must match if capturing
// does not slow down as the text grows.
#include "tools/childprocess.h"
#include "tools/processrunner.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include "numberedlines.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr qsizetype kMegabyte = 1024 * 1024;
constexpr qsizetype kOutputSize = 100 * kMegabyte;
constexpr qsizetype kWindowSize = 10 * kMegabyte;
constexpr qsizetype kLineLength = 80; // 79 characters and a LF
constexpr auto kPollPause = std::chrono::milliseconds(1);
constexpr auto kWindowPollPause = std::chrono::milliseconds(200);

// The folder holding output.txt, 100 MB of LF-ended text lines, made once per benchmark run.
const QString &dataFolder() {
    static QTemporaryDir folder;
    static const bool written = [] {
        return bench_support::writeNumberedLines(folder.filePath(QStringLiteral("output.txt")),
                                                 kOutputSize, kLineLength);
    }();
    static const QString path = written ? folder.path() : QString();
    return path;
}

// Byte counts seen at moments during one capture.
struct Progress {
    std::vector<std::pair<Clock::time_point, qsizetype>> samples;

    void add(qsizetype length) { samples.emplace_back(Clock::now(), length); }
    double megabytesPerSecond(qsizetype from, qsizetype to) const {
        const auto reached = [this](qsizetype length) {
            for (const auto &[time, seen] : samples) {
                if (seen >= length) {
                    return time;
                }
            }
            return samples.back().first;
        };
        const std::chrono::duration<double> seconds = reached(to) - reached(from);
        return double(to - from) / kMegabyte / seconds.count();
    }
    double seconds() const {
        return std::chrono::duration<double>(samples.back().first - samples.front().first).count();
    }
    void report(benchmark::State &state) const {
        const qsizetype total = samples.back().second;
        state.counters["first10MB_MBps"] = megabytesPerSecond(0, kWindowSize);
        state.counters["last10MB_MBps"] = megabytesPerSecond(total - kWindowSize, total);
        state.counters["whole_MBps"] = megabytesPerSecond(0, total);
    }
};

void BM_CaptureWithProcessRunner(benchmark::State &state) {
    const QString folder = dataFolder();
    Progress progress;
    for (auto _ : state) {
        progress = Progress();
        CProcessRunner runner;
        progress.add(0);
        if (!runner.Start(QStringLiteral("/bin/cat"), QStringLiteral("cat output.txt"), folder)) {
            state.SkipWithError("the runner did not start cat");
            return;
        }
        // Takes the new text every 200 ms as the output window does; in between, asks only for
        // the length (a shown length past the end copies nothing) to time the growth closely.
        qsizetype shown = 0;
        auto nextWindowPoll = Clock::now() + kWindowPollPause;
        for (bool running = true; running;) {
            const bool windowPoll = Clock::now() >= nextWindowPoll;
            const ProcessOutputUpdate update =
                ProcessOutputSince(windowPoll ? shown : kOutputSize * 2);
            if (windowPoll) {
                benchmark::DoNotOptimize(update.added.constData());
                shown = update.length;
                nextWindowPoll += kWindowPollPause;
            }
            running = update.running;
            progress.add(update.length);
            std::this_thread::sleep_for(kPollPause);
        }
        state.SetIterationTime(progress.seconds());
    }
    state.SetBytesProcessed(state.iterations() * kOutputSize);
    progress.report(state);
}

// A read loop on a plain pipe from cat; keepBytes appends them to one growing array as a
// capture must, otherwise they are dropped after each read.
void readCatFromPlainPipe(benchmark::State &state, bool keepBytes) {
    const QString folder = dataFolder();
    Progress progress;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (auto _ : state) {
        progress = Progress();
        progress.add(0);
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) {
            state.SkipWithError("no pipe");
            return;
        }
        const pid_t child = StartChildInNewSession(
            QStringLiteral("/bin/cat"), {QStringLiteral("cat"), QStringLiteral("output.txt")},
            folder, ends[1]);
        close(ends[1]);
        QByteArray kept;
        qsizetype total = 0;
        for (ssize_t count; (count = read(ends[0], buffer.data(), buffer.size())) > 0;) {
            if (keepBytes) {
                kept.append(buffer.constData(), count);
            }
            total += count;
            progress.add(total);
        }
        benchmark::DoNotOptimize(kept.constData());
        close(ends[0]);
        waitpid(child, nullptr, 0);
        state.SetIterationTime(progress.seconds());
    }
    state.SetBytesProcessed(state.iterations() * kOutputSize);
    progress.report(state);
}

void BM_ReadCatFromPlainPipe(benchmark::State &state) {
    readCatFromPlainPipe(state, false);
}
void BM_ReadCatFromPlainPipeKeepingBytes(benchmark::State &state) {
    readCatFromPlainPipe(state, true);
}

} // namespace

BENCHMARK(BM_ReadCatFromPlainPipe)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCatFromPlainPipeKeepingBytes)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaptureWithProcessRunner)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
