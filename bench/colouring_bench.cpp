#include "editors/sourcetext.h"
#include "editors/syntaxcolouring.h"

#include "javasample.h"

#include <benchmark/benchmark.h>

using namespace editors;
using bench_support::javaFileBytes;

namespace {

const QString &crLfText() {
    static const QString text = toCrLfText(decodeSourceFile(javaFileBytes()).text);
    return text;
}

void BM_ClassifyWholeText(benchmark::State &state) {
    const QString &text = crLfText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(classifyWholeText(text));
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_ClassifyWholeText)->Unit(benchmark::kMillisecond);

void BM_DecodeSourceFile(benchmark::State &state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(decodeSourceFile(javaFileBytes()));
    }
    state.SetBytesProcessed(state.iterations() * javaFileBytes().size());
}
BENCHMARK(BM_DecodeSourceFile)->Unit(benchmark::kMillisecond);

// What opening a file costs before anything is drawn: decode the bytes, make the CR LF text,
// colour it and cut the classes into runs.
void BM_DecodeAndColourWholeFile(benchmark::State &state) {
    for (auto _ : state) {
        const SourceText source = decodeSourceFile(javaFileBytes());
        const QString text = toCrLfText(source.text);
        benchmark::DoNotOptimize(colourRuns(classifyWholeText(text)));
    }
    state.SetBytesProcessed(state.iterations() * javaFileBytes().size());
}
BENCHMARK(BM_DecodeAndColourWholeFile)->Unit(benchmark::kMillisecond);

// What a typed character costs: the block-comment state at the start of a line in the middle of
// the file, then the line pass over that line.
void BM_TypedCharacterInTheMiddleLine(benchmark::State &state) {
    const QString &text = crLfText();
    const qsizetype lineStart = text.lastIndexOf(u"\r\n", text.size() / 2) + 2;
    const QStringView line =
        QStringView(text).sliced(lineStart, text.indexOf(u"\r\n", lineStart) - lineStart);
    for (auto _ : state) {
        const bool open = IsInBlockComment(text, lineStart);
        benchmark::DoNotOptimize(classifyLine(line, open));
    }
}
BENCHMARK(BM_TypedCharacterInTheMiddleLine)->Unit(benchmark::kMicrosecond);

// The worst case for IsInBlockComment: no delimiter anywhere before the offset (every star is
// gone), so the scan goes back over the whole first half of the file.
void BM_IsInBlockCommentWithoutDelimiters(benchmark::State &state) {
    QString text = crLfText();
    text.replace(u'*', u'+');
    const qsizetype offset = text.size() / 2;
    for (auto _ : state) {
        benchmark::DoNotOptimize(IsInBlockComment(text, offset));
    }
}
BENCHMARK(BM_IsInBlockCommentWithoutDelimiters)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
