// ScanSource on large generated Java texts (typical and adversarial), and on every .java file
// of the installed JDK's src.zip when there is one.
#include "model/javasourcescanner.h"
#include "model/scansink.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kMegabyte = 1 << 20;

// A project that takes every call and keeps nothing, so that the calls are part of the cost.
class NullSink : public ScanSink {
public:
    void ClearFileClasses(const QString &) override {}
    bool AddClass(const QString &, const QString &) override { return true; }
    bool AddMethod(const QString &, const QString &, const QString &) override { return true; }
    bool AddInnerClass(const QString &, const QString &, const QString &) override { return true; }
    void AddInnerMethod(const QString &, const QString &, const QString &,
                        const QString &) override {}
    void ClassInfoUpdated() override {}
};

// Java source made of classes with comments, fields, methods with statement blocks and an
// inner class, with CR LF line breaks, at least size characters long.
QString typicalJava(qsizetype size) {
    const QString unit = QStringLiteral(
        "/**\r\n * Class number %1 { with a brace in its comment }\r\n */\r\n"
        "public class Sample%1 extends Base implements Runnable {\r\n"
        "    private static final String NAME = \"sample\"; // a line comment\r\n"
        "    private int count = 0;\r\n\r\n"
        "    public Sample%1(int count,\r\n                    String name) {\r\n"
        "        this.count = count;\r\n    }\r\n\r\n"
        "    public void run() {\r\n        for (int i = 0; i < count; ++i) {\r\n"
        "            if (i % 2 == 0) {\r\n                System.out.println(NAME + i);\r\n"
        "            }\r\n        }\r\n    }\r\n\r\n"
        "    class Worker {\r\n        void work(int amount) {\r\n"
        "            count += amount; /* block comment */\r\n        }\r\n    }\r\n}\r\n\r\n");
    QString text;
    for (int i = 0; text.size() < size; ++i) {
        text += unit.arg(i);
    }
    return text;
}

// Worst case for searching the rest of the text on every pass: many nested blocks, and the
// comment marks and the last opening brace only at the very end.
QString adversarialJava(qsizetype size) {
    const qsizetype blocks = size / 4;
    return QString(blocks, u'{') + QString(blocks, u'}') + QStringLiteral("// /* {");
}

void scan(benchmark::State &state, const QString &text) {
    JavaSourceScanner scanner;
    NullSink project;
    for (auto _ : state) {
        scanner.ScanSource(text, QStringLiteral("/p/Sample.java"), &project);
        benchmark::DoNotOptimize(scanner.entries().size());
    }
    state.SetComplexityN(text.size());
    state.counters["characters"] = benchmark::Counter(
        static_cast<double>(text.size()), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ScanTypicalJava(benchmark::State &state) {
    scan(state, typicalJava(state.range(0)));
}
BENCHMARK(BM_ScanTypicalJava)
    ->Arg(2 * kMegabyte)
    ->Arg(8 * kMegabyte)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_ScanAdversarialJava(benchmark::State &state) {
    scan(state, adversarialJava(state.range(0)));
}
BENCHMARK(BM_ScanAdversarialJava)
    ->Arg(2 * kMegabyte)
    ->Arg(8 * kMegabyte)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Every .java file of the first src.zip found, with CR LF line breaks, read once.
const QStringList &jdkSources() {
    static const QStringList sources = [] {
        QStringList texts;
        const QStringList zips = QDir(QStringLiteral("/usr/lib/jvm"))
                                     .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QTemporaryDir folder;
        for (const QString &jdk : zips) {
            const QString zip = QStringLiteral("/usr/lib/jvm/%1/lib/src.zip").arg(jdk);
            if (!QFile::exists(zip)
                || QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty()) {
                continue;
            }
            QProcess unzip;
            unzip.start(QStringLiteral("unzip"),
                        {QStringLiteral("-q"), QStringLiteral("-o"), zip, QStringLiteral("*.java"),
                         QStringLiteral("-d"), folder.path()});
            unzip.waitForFinished(600000);
            break;
        }
        QDirIterator files(folder.path(), {QStringLiteral("*.java")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (file.open(QIODevice::ReadOnly)) {
                texts << QString::fromUtf8(file.readAll())
                             .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                             .replace(u'\n', QStringLiteral("\r\n"));
            }
        }
        return texts;
    }();
    return sources;
}

void BM_ScanJdkSources(benchmark::State &state) {
    const QStringList &sources = jdkSources();
    if (sources.isEmpty()) {
        state.SkipWithError("no JDK src.zip (or no unzip) on this machine");
        return;
    }
    JavaSourceScanner scanner;
    NullSink project;
    qsizetype characters = 0;
    for (const QString &text : sources) {
        characters += text.size();
    }
    for (auto _ : state) {
        for (const QString &text : sources) {
            scanner.ScanSource(text, QStringLiteral("/p/Source.java"), &project);
            benchmark::DoNotOptimize(scanner.entries().size());
        }
    }
    state.counters["files"] = static_cast<double>(sources.size());
    state.counters["characters"] = benchmark::Counter(
        static_cast<double>(characters), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ScanJdkSources)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
