// Opening large Java files in a source window the way the program does: read and decode the
// file, colour the whole text, scan it and fill the function list, then paint the first frame
// offscreen. Then keystrokes typed into the middle of the file (the middle of its middle line),
// each handled and painted.
//
//   largefile_bench [ROUNDS]        opens a 2 MB file, a 50 MB file and a file of one line of
//                                   1 MB, ROUNDS times each (default 3), each open in a process
//                                   of its own, and prints the medians
//   largefile_bench open FILE [N]   one open of FILE with N keystrokes (default 200); prints
//                                   one line of figures (for profiling one open)
//
// Each open runs in a fresh process so that its peak resident size is its own.
#include "editors/cchildframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>

#include "benchmeasure.h"
#include "javasample.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr int kKeystrokes = 200;
constexpr int kDefaultRounds = 3;
constexpr qsizetype kLongLineSize = 1000 * 1000;

double milliseconds(const QElapsedTimer &timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

long peakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void typeKey(QWidget *view, Qt::Key key, const QString &text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(view, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(view, &release);
}

// The share of a core the process takes over a few idle seconds with the window focused: the
// caret blinks, nothing else happens.
double idleCpuPercent(QWidget *view) {
    constexpr int kIdleMs = 3000;
    view->activateWindow();
    view->setFocus();
    QElapsedTimer clock;
    clock.start();
    const double before = cpuMilliseconds();
    // processEvents with a time limit would spin: a loop sleeps while there is nothing to do.
    QEventLoop loop;
    QTimer::singleShot(kIdleMs, &loop, &QEventLoop::quit);
    loop.exec();
    return 100.0 * (cpuMilliseconds() - before) / double(clock.elapsed());
}

// One open of a file; prints "read colour_scan_list first_paint total key_median key_max
// peak_kb entries idle_cpu_percent" on one line.
int openOnce(const QString &path, int keystrokes) {
    QElapsedTimer total;
    total.start();
    QElapsedTimer phase;
    phase.start();
    auto document = std::make_unique<CSyntaxWindowDoc>();
    if (!document->onOpenDocument(path)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }
    document->setPathName(path, false);
    const double read = milliseconds(phase);

    phase.restart();
    auto frame = std::make_unique<CChildFrame>();
    auto *view = new CSyntaxWindowView;
    frame->setView(view);
    frame->attachDocument(document.get());
    frame->resize(1000, 700);
    view->onInitialUpdate();
    const double initial = milliseconds(phase);

    phase.restart();
    frame->show();
    view->viewport()->repaint();
    QCoreApplication::processEvents();
    const double paint = milliseconds(phase);
    const double open = milliseconds(total);
    const long openPeak = peakResidentKilobytes();

    // Keystrokes in the middle of the text, each painted before the next.
    QTextDocument *text = document->textDocument();
    // (The file of one long line: on that line.)
    const QTextBlock middle = text->blockCount() < 3
                                  ? text->firstBlock()
                                  : text->findBlockByNumber(text->blockCount() / 2);
    QTextCursor cursor(text);
    cursor.setPosition(middle.position() + middle.length() / 2);
    view->setTextCursor(cursor);
    view->viewport()->repaint();
    std::vector<double> keys;
    for (int stroke = 0; stroke < keystrokes; ++stroke) {
        phase.restart();
        if (stroke % 2 == 0) {
            typeKey(view, Qt::Key_X, QStringLiteral("x"));
        } else {
            typeKey(view, Qt::Key_Backspace, QStringLiteral("\b"));
        }
        view->viewport()->repaint();
        keys.push_back(milliseconds(phase));
    }
    std::sort(keys.begin(), keys.end());
    if (keys.empty()) {
        keys.push_back(0);
    }
    const double idle = idleCpuPercent(view);
    std::printf("%.1f %.1f %.1f %.1f %.3f %.3f %ld %d %.2f\n", read, initial, paint, open,
                keys[keys.size() / 2], keys.back(), openPeak, frame->functionList()->count(), idle);
    std::fflush(stdout);
    // Leaving without tearing down: a closing window is not part of the figures.
    std::_Exit(0);
}

// One line of about a megabyte: declarations with strings and comments, without a line break.
QString writeLongLine(const QTemporaryDir &folder, const QString &name) {
    const QString path = folder.filePath(name);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        qFatal("Cannot write %s", qPrintable(path));
    }
    QByteArray line = "public class LongLine {";
    for (int field = 0; line.size() < kLongLineSize; ++field) {
        const QByteArray number = QByteArray::number(field);
        line += " int a" + number + " = \"s" + number + "\".length(); /* c */";
    }
    out.write(line + " }\r\n");
    return path;
}

QString writeSample(const QTemporaryDir &folder, const QString &name, qsizetype size) {
    const QByteArray &stretch = bench_support::javaFileBytes();
    const QString path = folder.filePath(name);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        qFatal("Cannot write %s", qPrintable(path));
    }
    for (qsizetype written = 0; written < size; written += stretch.size()) {
        out.write(stretch);
    }
    return path;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int compare(int rounds) {
    QTemporaryDir folder;
    const std::vector<std::pair<QString, qsizetype>> files{
        {QStringLiteral("Two.java"), bench_support::kFileSize},
        {QStringLiteral("Fifty.java"), 25 * bench_support::kFileSize},
        {QStringLiteral("LongLine.java"), 0}};
    std::printf("%-11s %9s %9s %9s %9s %9s %9s %9s %8s %7s %7s\n", "file", "MB", "read", "colour",
                "paint", "open", "key med", "key max", "peak MB", "entries", "idle %");
    for (const auto &[name, size] : files) {
        const QString path =
            size > 0 ? writeSample(folder, name, size) : writeLongLine(folder, name);
        const double megabytes = double(QFile(path).size()) / 1e6;
        std::vector<std::vector<double>> columns(9);
        for (int round = 0; round < rounds; ++round) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("open"), path});
            child.waitForFinished(-1);
            const QList<QByteArray> figures = child.readAllStandardOutput().simplified().split(' ');
            if (figures.size() != 9) {
                std::fprintf(stderr, "open of %s failed\n", qPrintable(name));
                return 1;
            }
            for (std::size_t column = 0; column < columns.size(); ++column) {
                columns[column].push_back(figures[qsizetype(column)].toDouble());
            }
        }
        std::printf("%-11s %9.1f %9.1f %9.1f %9.1f %9.1f %9.3f %9.3f %8.0f %7.0f %7.2f\n",
                    qPrintable(name), megabytes, median(columns[0]), median(columns[1]),
                    median(columns[2]), median(columns[3]), median(columns[4]), median(columns[5]),
                    median(columns[6]) / 1024.0, median(columns[7]), median(columns[8]));
    }
    std::printf("times in ms (medians of %d opens); key: one keystroke in the middle of the file "
                "with its repaint; idle: CPU share over 3 s with the window focused\n",
                rounds);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() >= 3 && arguments[1] == QLatin1String("open")) {
        return openOnce(arguments[2], arguments.size() > 3 ? arguments[3].toInt() : kKeystrokes);
    }
    const int rounds = arguments.size() > 1 ? std::max(1, arguments[1].toInt()) : kDefaultRounds;
    return compare(rounds);
}
