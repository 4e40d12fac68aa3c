// A generated code base of 1,600 Java files in 80 packages, as a large collection of algorithms
// is laid out: the background scan of every file (what the project tree shows without opening
// a window) and Find in Files over all of them, with the files in the system's cache (warm).
#include "editors/filesearch.h"
#include "project/projectscan.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kPackages = 80;
constexpr int kFilesPerPackage = 20;

// One file of an algorithms collection: a documented class with fields, a constructor, methods
// with loops and strings, an inner class, about 4 KB.
QByteArray javaFile(int package, int number) {
    const QString name = QStringLiteral("Algorithm%1x%2").arg(package).arg(number);
    QString text =
        QStringLiteral(
            "package com.algorithms.p%1;\n\nimport java.util.*;\n\n"
            "/**\n * %2 keeps a count of its items { and braces in a comment }.\n"
            " */\npublic class %2 implements Comparable<%2> {\n"
            "    private final int[] items;\n    private int count;\n\n"
            "    public %2(int capacity) {\n        items = new int[capacity];\n    }\n\n")
            .arg(package)
            .arg(name);
    for (int method = 0; method < 8; ++method) {
        text += QStringLiteral("    // Method %1 walks the items and counts them.\n"
                               "    public int count%1(int limit, String label) {\n"
                               "        int found = 0;\n"
                               "        for (int i = 0; i < count && i < limit; i++) {\n"
                               "            if (items[i] % 2 == %1 % 2) {\n"
                               "                found++;\n"
                               "            }\n"
                               "        }\n"
                               "        System.out.println(label + \": \" + found + \" {\");\n"
                               "        return found;\n"
                               "    }\n\n")
                    .arg(method);
    }
    text +=
        QStringLiteral("    public int compareTo(%1 other) {\n"
                       "        return Integer.compare(count, other.count);\n    }\n\n"
                       "    private static class Node {\n        int value;\n        Node next;\n"
                       "        Node(int value) { this.value = value; }\n"
                       "        int size() { return next == null ? 1 : 1 + next.size(); }\n"
                       "    }\n}\n")
            .arg(name);
    return text.toUtf8();
}

// The tree, made once, and its file paths in project order.
const QStringList &codeBase() {
    static QTemporaryDir folder;
    static const QStringList paths = [] {
        QStringList made;
        for (int package = 0; package < kPackages; ++package) {
            const QString packageFolder =
                folder.path() + QStringLiteral("/src/com/algorithms/p%1").arg(package);
            QDir().mkpath(packageFolder);
            for (int number = 0; number < kFilesPerPackage; ++number) {
                const QString path =
                    packageFolder + QStringLiteral("/Algorithm%1x%2.java").arg(package).arg(number);
                QFile file(path);
                if (file.open(QIODevice::WriteOnly)) {
                    file.write(javaFile(package, number));
                }
                made << path;
            }
        }
        return made;
    }();
    return paths;
}

// Runs the event loop until done() holds.
template <typename Done>
void waitUntil(Done done) {
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
}

// From the start of the scan until every file's classes have been handed over.
void BM_ScanEveryClassOfTheTree(benchmark::State &state) {
    const QStringList &paths = codeBase();
    std::size_t files = 0;
    for (auto _ : state) {
        ProjectScan scan;
        files = 0;
        QObject::connect(
            &scan, &ProjectScan::scanned,
            [&files](const std::shared_ptr<ScannedFiles> &done) { files += done->size(); });
        bool finished = false;
        QObject::connect(&scan, &ProjectScan::finished, [&finished] { finished = true; });
        scan.start(paths);
        waitUntil([&finished] { return finished; });
    }
    state.counters["files"] = static_cast<double>(files);
}
BENCHMARK(BM_ScanEveryClassOfTheTree)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the start of the search until the last match has been handed over.
void findInTree(benchmark::State &state, const search::Query &query) {
    const QStringList &paths = codeBase();
    std::size_t hits = 0;
    search::FileSearch search;
    QObject::connect(
        &search, &search::FileSearch::found,
        [&hits](const std::shared_ptr<search::Hits> &found) { hits += found->size(); });
    bool finished = false;
    QObject::connect(&search, &search::FileSearch::finished,
                     [&finished](int, bool) { finished = true; });
    for (auto _ : state) {
        hits = 0;
        finished = false;
        search.start(search::Matcher(query), paths, {});
        waitUntil([&finished] { return finished; });
    }
    state.counters["matches"] = static_cast<double>(hits);
}

void BM_FindTextInTheTree(benchmark::State &state) {
    findInTree(state, {QStringLiteral("found++"), false, true});
}
BENCHMARK(BM_FindTextInTheTree)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FindWordIgnoringCaseInTheTree(benchmark::State &state) {
    findInTree(state, {QStringLiteral("node"), false, false, true});
}
BENCHMARK(BM_FindWordIgnoringCaseInTheTree)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FindRegularExpressionInTheTree(benchmark::State &state) {
    findInTree(state, {QStringLiteral("count\\d\\(int \\w+"), true, true});
}
BENCHMARK(BM_FindRegularExpressionInTheTree)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    codeBase();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
