// The output window watching a run that prints 50 MB: how long the longest timer call of the
// window takes while the text grows (the 200 ms tick, and the calls that place text between
// ticks), the longest stretch the user-interface thread is kept from other events, how long
// the window takes to show the whole text, and whether it does.
//
// Two runs: `cat` of the whole file at once (the window lags behind the captured text and
// catches up), and a child that writes it in paced chunks over about ten seconds. The window
// shows the first 1,000 lines, a line saying how many were left out and the latest 10,000.
//
// A third run prints one line of a megabyte, then "after", then ends a second later: how long
// until the line and "after" are shown, how long until the exit line is, and the share of a core
// the process takes while the window shows it and nothing else happens.
#include "services/appsettings.h"
#include "services/ideservices.h"
#include "tools/coutputedit.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processoutputwindow.h"
#include "tools/processrunner.h"

#include "benchmeasure.h"
#include "benchservices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>

#include "numberedlines.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>

namespace {

constexpr qsizetype kMegabyte = 1024 * 1024;
constexpr qsizetype kOutputSize = 50 * kMegabyte;
constexpr qsizetype kLineLength = 80; // 79 characters and a LF
constexpr int kProbePeriodMs = 5;

// Times every timer event delivered to the timers of one object.
class TimingApplication : public QApplication {
public:
    using QApplication::QApplication;

    QObject *m_watched = nullptr;
    qint64 m_longestTickNs = 0;
    qint64 m_longestPumpNs = 0;

    bool notify(QObject *receiver, QEvent *event) override {
        auto *timer = qobject_cast<QTimer *>(receiver);
        if (event->type() != QEvent::Timer || !timer || !m_watched
            || timer->parent() != m_watched) {
            return QApplication::notify(receiver, event);
        }
        QElapsedTimer clock;
        clock.start();
        const bool result = QApplication::notify(receiver, event);
        qint64 &longest = timer->interval() == CProcessOutputDialog::kTimerPeriodMs
                              ? m_longestTickNs
                              : m_longestPumpNs;
        longest = std::max(longest, clock.nsecsElapsed());
        return result;
    }
};

TimingApplication &application() {
    return *static_cast<TimingApplication *>(QCoreApplication::instance());
}

// The folder holding output.txt (50 MB of LF-ended lines) and paced.sh, made once.
const QString &dataFolder() {
    static QTemporaryDir folder;
    static const bool written = [] {
        if (!bench_support::writeNumberedLines(folder.filePath(QStringLiteral("output.txt")),
                                               kOutputSize, kLineLength)) {
            return false;
        }
        // 100 chunks of 512 KB, one every 0.1 s.
        QFile script(folder.filePath(QStringLiteral("paced.sh")));
        if (!script.open(QIODevice::WriteOnly)) {
            return false;
        }
        script.write("#!/bin/sh\nfor i in $(seq 0 99); do\n"
                     "  dd if=output.txt bs=524288 skip=$i count=1 status=none\n"
                     "  sleep 0.1\ndone\n");
        script.setPermissions(script.permissions() | QFile::ExeOwner);
        return true;
    }();
    static const QString path = written ? folder.path() : QString();
    return path;
}

constexpr int kHeadLines = 1000;
constexpr int kTailLines = 10000;

QString expectedEditText() {
    QFile file(dataFolder() + QStringLiteral("/output.txt"));
    file.open(QIODevice::ReadOnly);
    QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n');
    lines.removeLast();
    lines << QStringLiteral("Exit code: 0") << QStringLiteral("No Errors");
    const qsizetype leftOut = lines.size() - kHeadLines - kTailLines;
    return (lines.mid(0, kHeadLines)
            + QStringList{QStringLiteral("... %1 lines of output left out ...").arg(leftOut)}
            + lines.mid(lines.size() - kTailLines))
        .join(u'\n');
}

void watchRun(benchmark::State &state, const QString &program, const QString &commandLine) {
    if (dataFolder().isEmpty()) {
        state.SkipWithError("cannot write the test data");
        return;
    }
    const QString expected = expectedEditText();
    for (auto _ : state) {
        BenchServices services(QStringLiteral("cat output.txt"));
        CProcessOutputDialog dialog;
        TimingApplication &app = application();
        app.m_watched = &dialog;
        app.m_longestTickNs = app.m_longestPumpNs = 0;

        // A probe timer measures how long the thread is kept from other events.
        QElapsedTimer sinceProbe;
        qint64 longestGapNs = 0;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            longestGapNs = std::max(longestGapNs, sinceProbe.nsecsElapsed());
            sinceProbe.restart();
        });

        QElapsedTimer clock;
        clock.start();
        auto runner = std::make_unique<CProcessRunner>();
        if (!runner->Start(program, commandLine, dataFolder())) {
            state.SkipWithError("cannot start the child");
            return;
        }
        dialog.Open(std::move(runner), nullptr);
        sinceProbe.start();
        probe.start(kProbePeriodMs);
        while (dialog.isWatching()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        const double seconds = clock.nsecsElapsed() / 1e9;
        probe.stop();
        app.m_watched = nullptr;

        const bool whole = dialog.window()->outputEdit()->toPlainText() == expected;
        state.counters["longest_tick_ms"] = app.m_longestTickNs / 1e6;
        state.counters["longest_between_ticks_ms"] = app.m_longestPumpNs / 1e6;
        state.counters["longest_ui_gap_ms"] = (longestGapNs / 1e6) - kProbePeriodMs;
        state.counters["seconds_to_complete"] = seconds;
        state.counters["whole_text_shown"] = whole ? 1 : 0;
        state.counters["status_messages"] = services.m_messages;
        if (!whole) {
            state.SkipWithError("the window does not show the whole text");
        }
        dialog.DestroyWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void BM_OutputWindowCatchesUpWith50MB(benchmark::State &state) {
    watchRun(state, QStringLiteral("/bin/cat"), QStringLiteral("cat output.txt"));
}

void BM_OutputWindowFollows50MBWrittenOverTenSeconds(benchmark::State &state) {
    watchRun(state, dataFolder() + QStringLiteral("/paced.sh"), QStringLiteral("paced.sh"));
}

void BM_OutputWindowShowsAOneMegabyteLine(benchmark::State &state) {
    QTemporaryDir folder;
    QFile script(folder.filePath(QStringLiteral("longline.sh")));
    if (!script.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the script");
        return;
    }
    script.write("#!/bin/sh\nhead -c 1000000 /dev/zero | tr '\\0' x\necho\necho after\nsleep 1\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);
    for (auto _ : state) {
        BenchServices services(QStringLiteral("cat output.txt"));
        CProcessOutputDialog dialog;
        auto runner = std::make_unique<CProcessRunner>();
        QElapsedTimer clock;
        clock.start();
        if (!runner->Start(script.fileName(), QStringLiteral("longline.sh"), folder.path())) {
            state.SkipWithError("cannot start the child");
            return;
        }
        dialog.Open(std::move(runner), nullptr);
        QTextDocument *shown = dialog.window()->outputEdit()->document();
        double placedSeconds = 0;
        QTimer tick;
        tick.start(5);
        while (dialog.isWatching()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (placedSeconds == 0
                && shown->findBlockByNumber(1).text() == QLatin1String("after")) {
                placedSeconds = clock.nsecsElapsed() / 1e9;
            }
        }
        tick.stop();
        const double exitLineSeconds = clock.nsecsElapsed() / 1e9;
        constexpr int kIdleMs = 3000;
        QElapsedTimer idle;
        idle.start();
        const double before = cpuMilliseconds();
        // processEvents with a time limit would spin: a loop sleeps while there is nothing to do.
        QEventLoop loop;
        QTimer::singleShot(kIdleMs, &loop, &QEventLoop::quit);
        loop.exec();
        state.counters["line_shown_s"] = placedSeconds;
        state.counters["exit_line_shown_s"] = exitLineSeconds;
        state.counters["idle_cpu_percent"] =
            100.0 * (cpuMilliseconds() - before) / double(idle.elapsed());
        state.counters["first_line_chars"] = double(shown->firstBlock().length() - 1);
        dialog.DestroyWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

BENCHMARK(BM_OutputWindowShowsAOneMegabyteLine)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_OutputWindowCatchesUpWith50MB)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_OutputWindowFollows50MBWrittenOverTenSeconds)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    TimingApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
