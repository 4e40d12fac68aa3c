// The source window on a 2 MB Java file: opening it (read, colour, scan, fill the function
// list), typing one character in its middle, and colouring it again unchanged. Runs the real
// document, view and frame on the offscreen platform.
#include "editors/cchildframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "editors/sourcehighlighter.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextBlock>

#include "javasample.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QString &javaFilePath() {
    static QTemporaryDir folder;
    static const QString path = [] {
        const QByteArray &bytes = bench_support::javaFileBytes();
        const QString file = folder.filePath(QStringLiteral("ScoreBoard.java"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
            qFatal("Cannot write %s", qPrintable(file));
        }
        return file;
    }();
    return path;
}

// A source window on the file, as the document template makes one.
struct SourceWindow {
    std::unique_ptr<CSyntaxWindowDoc> document = std::make_unique<CSyntaxWindowDoc>();
    std::unique_ptr<CChildFrame> frame = std::make_unique<CChildFrame>();
    CSyntaxWindowView *view = new CSyntaxWindowView;

    SourceWindow() {
        if (!document->onOpenDocument(javaFilePath())) {
            qFatal("Cannot open the benchmark file");
        }
        document->setPathName(javaFilePath(), false);
        frame->setView(view);
        frame->attachDocument(document.get());
        frame->resize(800, 600);
        frame->show();
        view->onInitialUpdate();
        // Whatever the window left to do once control returns to the event loop.
        QCoreApplication::processEvents();
    }
    ~SourceWindow() {
        frame.reset();
        document.reset();
    }
};

void BM_OpenTwoMegabyteFile(benchmark::State &state) {
    int entries = 0;
    for (auto _ : state) {
        auto window = std::make_unique<SourceWindow>();
        entries = window->frame->functionList()->count();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    state.counters["entries"] = entries;
}
BENCHMARK(BM_OpenTwoMegabyteFile)->Unit(benchmark::kMillisecond);

void typeCharacter(QWidget *view, Qt::Key key, const QString &text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(view, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(view, &release);
}

// One character typed into a line in the middle of the file, then taken away again: two key
// strokes per iteration, each re-colouring its line.
void typeAndEraseInTheMiddle(SourceWindow &window, benchmark::State &state) {
    QTextDocument *text = window.document->textDocument();
    QTextCursor cursor(text->findBlockByNumber(text->blockCount() / 2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    window.view->setTextCursor(cursor);
    for (auto _ : state) {
        typeCharacter(window.view, Qt::Key_X, QStringLiteral("x"));
        typeCharacter(window.view, Qt::Key_Backspace, QStringLiteral("\b"));
    }
    state.SetItemsProcessed(state.iterations() * 2);
}

void BM_TypedCharacterInTheMiddle(benchmark::State &state) {
    SourceWindow window;
    typeAndEraseInTheMiddle(window, state);
}
BENCHMARK(BM_TypedCharacterInTheMiddle)->Unit(benchmark::kMicrosecond);

// The same with a line typed into the middle of a file that holds no comment delimiter at all:
// whether a comment stands open is asked of every line above.
void BM_TypedCharacterWithoutCommentDelimiters(benchmark::State &state) {
    SourceWindow window;
    QString text = window.document->editorText();
    text.replace(u'*', u'+');
    window.document->setEditorText(text);
    typeAndEraseInTheMiddle(window, state);
}
BENCHMARK(BM_TypedCharacterWithoutCommentDelimiters)->Unit(benchmark::kMicrosecond);

// F3 on the opened, coloured file: every run already has its class, so no block is drawn.
void BM_ColourAllUnchanged(benchmark::State &state) {
    SourceWindow window;
    const qsizetype drawnBefore = window.document->highlighter().blocksDrawn();
    for (auto _ : state) {
        window.view->ColourAll(true);
    }
    state.counters["blocks_drawn"] =
        double(window.document->highlighter().blocksDrawn() - drawnBefore);
}
BENCHMARK(BM_ColourAllUnchanged)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
