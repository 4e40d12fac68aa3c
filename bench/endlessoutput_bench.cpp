// The output window watching a program that prints without end, as a beginner's endless loop
// does: Tarvo's resident size and its own CPU time while the output floods, then how long after
// the abort the exit line is on screen.
//
//   endlessoutput_bench [SECONDS]        runs a Java loop (when a JDK is found) and a shell loop,
//                                        each for SECONDS (default 10) in a process of its own
//   endlessoutput_bench run KIND SECONDS one run of KIND ("java" or "shell"); prints one line
//
// CPU is this process's own (user and system, every thread), not the printer's.
#include "framework/prompter.h"
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
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

double residentMegabytes() {
    return double(residentKb()) * 1024.0 / 1e6;
}

double cpuSeconds() {
    return cpuMilliseconds() / 1e3;
}

constexpr int kDefaultSeconds = 10;
constexpr int kSampleMs = 100;
constexpr int kAbortWaitMs = 30000;

// Answers OK to every question.
class AgreeingPrompter : public fw::Prompter {
public:
    fw::Answer message(const QString &, fw::MessageButtons) override { return fw::Answer::Ok; }
    QStringList openFiles(const fw::FileDialogOptions &) override { return {}; }
    QString saveFile(const fw::FileDialogOptions &) override { return {}; }
    std::optional<QFont> chooseFont(const QFont &) override { return std::nullopt; }
    std::optional<QColor> chooseColour(const QColor &) override { return std::nullopt; }
    QString chooseFolder(const QString &) override { return {}; }
    int runDialog(QDialog &) override { return 0; }
};

// Handles events for ms milliseconds, sleeping while there are none (processEvents with a time
// limit would spin).
void runEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Handles events, sleeping while there are none, until done() holds or ms have passed; a
// check every 5 ms.
template <typename Done>
void runEventsUntil(Done done, int ms) {
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    tick.start(5);
    while (!done() && clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

// The program and command line of the printer, written into folder; empty when it cannot be.
std::pair<QString, QString> preparePrinter(const QString &kind, const QString &folder) {
    if (kind == QLatin1String("java")) {
        const QString javac = QStandardPaths::findExecutable(QStringLiteral("javac"));
        const QString java = QStandardPaths::findExecutable(QStringLiteral("java"));
        QFile source(folder + QStringLiteral("/Looper.java"));
        if (javac.isEmpty() || java.isEmpty() || !source.open(QIODevice::WriteOnly)) {
            return {};
        }
        source.write("public class Looper {\n"
                     "    public static void main(String[] args) {\n"
                     "        for (long i = 0;; i++) {\n"
                     "            System.out.println(\"Line \" + i + \" of an endless loop\");\n"
                     "        }\n"
                     "    }\n"
                     "}\n");
        source.close();
        if (QProcess::execute(javac, {QStringLiteral("Looper.java")}) != 0
            && QProcess::execute(javac, {folder + QStringLiteral("/Looper.java")}) != 0) {
            return {};
        }
        return {java, QStringLiteral("java Looper")};
    }
    QFile script(folder + QStringLiteral("/looper.sh"));
    if (!script.open(QIODevice::WriteOnly)) {
        return {};
    }
    script.write("#!/bin/sh\ni=0\nwhile :; do echo \"Line $i of an endless loop\"; "
                 "i=$((i+1)); done\n");
    script.setPermissions(script.permissions() | QFile::ExeOwner);
    return {script.fileName(), QStringLiteral("looper.sh")};
}

// One run: prints "peak_rss_mb cpu_percent abort_to_exit_line_ms start_rss_mb shown_lines".
int runOnce(const QString &kind, int seconds) {
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    const auto [program, commandLine] = preparePrinter(kind, folder.path());
    if (program.isEmpty()) {
        std::printf("skipped\n");
        return 0;
    }
    BenchServices services(QStringLiteral("Running Looper"));
    fw::setPrompter(std::make_unique<AgreeingPrompter>());
    CProcessOutputDialog dialog;
    const double startResident = residentMegabytes();
    auto runner = std::make_unique<CProcessRunner>();
    if (!runner->Start(program, commandLine, folder.path())) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(commandLine));
        return 1;
    }
    dialog.Open(std::move(runner), nullptr);

    double peakResident = residentMegabytes();
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout,
                     [&] { peakResident = std::max(peakResident, residentMegabytes()); });
    sampler.start(kSampleMs);
    // The first second is the printer starting up (a JVM takes most of it).
    runEventsFor(1000);
    const double cpuAtStart = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    runEventsFor(seconds * 1000);
    const double cpuPercent = 100.0 * (cpuSeconds() - cpuAtStart) / (clock.nsecsElapsed() / 1e9);

    // Stop, OK to the question, then wait for the exit line in the edit.
    COutputEdit *edit = dialog.window()->outputEdit();
    QElapsedTimer sinceAbort;
    sinceAbort.start();
    dialog.StopRun();
    const QString verdict = QStringLiteral("Process terminated by user.");
    runEventsUntil([&] { return edit->document()->lastBlock().text() == verdict; }, kAbortWaitMs);
    const double abortMs = sinceAbort.nsecsElapsed() / 1e6;
    peakResident = std::max(peakResident, residentMegabytes());
    std::printf("%.0f %.1f %.0f %.0f %d\n", peakResident, cpuPercent, abortMs, startResident,
                edit->document()->blockCount());
    std::fflush(stdout);
    std::_Exit(0);
}

int compare(int seconds) {
    std::printf("%-6s %8s %8s %10s %9s %12s\n", "loop", "rss MB", "cpu %", "abort ms", "start MB",
                "shown lines");
    for (const QString &kind : {QStringLiteral("java"), QStringLiteral("shell")}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("run"), kind, QString::number(seconds)});
        child.waitForFinished(-1);
        const QList<QByteArray> figures = child.readAllStandardOutput().simplified().split(' ');
        if (figures.size() != 5) {
            std::printf("%-6s skipped\n", qPrintable(kind));
            continue;
        }
        std::printf("%-6s %8s %8s %10s %9s %12s\n", qPrintable(kind), figures[0].constData(),
                    figures[1].constData(), figures[2].constData(), figures[3].constData(),
                    figures[4].constData());
    }
    std::printf("rss: peak resident size while flooding and after the abort; cpu: this process's "
                "own over %d s of flood; abort: from the abort to the exit line on screen\n",
                seconds);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() >= 4 && arguments[1] == QLatin1String("run")) {
        return runOnce(arguments[2], std::max(1, arguments[3].toInt()));
    }
    return compare(arguments.size() > 1 ? std::max(1, arguments[1].toInt()) : kDefaultSeconds);
}
