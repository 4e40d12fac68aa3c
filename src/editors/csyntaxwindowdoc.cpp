#include "editors/csyntaxwindowdoc.h"

#include "editors/colourclassstore.h"
#include "editors/csyntaxwindowview.h"
#include "editors/linemarks.h"
#include "editors/sourcehighlighter.h"
#include "editors/sourcetext.h"
#include "editors/syntaxcolouring.h"
#include "services/ideservices.h"

#include <future>

namespace {

// The colour classes and the scan of a text, made away from the document.
struct ReadWork {
    ColourClassStore::PreparedLines lines;
    JavaSourceScanner scanner;
    ScanRecording reports;
};

ReadWork colourAndScan(const QString &editorText) {
    ReadWork work;
    const QString crLfText = editors::toCrLfText(editorText);
    work.lines = ColourClassStore::prepareLines(editorText, editors::classifyWholeText(crLfText));
    // The path is named when the reports are given to the project.
    work.scanner.ScanSource(crLfText, QString(), &work.reports);
    return work;
}

SourceColours coloursNow() {
    IdeServices *services = IdeServices::instance();
    return services ? SourceColours::fromSettings(services->settings()) : SourceColours{};
}
} // namespace

CSyntaxWindowDoc::CSyntaxWindowDoc()
    : m_colourClasses(std::make_unique<ColourClassStore>(textDocument()))
    , m_highlighter(
          std::make_unique<SourceHighlighter>(textDocument(), *m_colourClasses, coloursNow()))
    , m_lineMarks(std::make_unique<LineMarks>(textDocument())) {}

CSyntaxWindowDoc::~CSyntaxWindowDoc() = default;

CSyntaxWindowView *CSyntaxWindowDoc::firstSourceView() const {
    return dynamic_cast<CSyntaxWindowView *>(firstView());
}

void CSyntaxWindowDoc::GoToLine(int line) {
    if (CSyntaxWindowView *view = firstSourceView()) {
        view->SelectLine(line);
    }
}

void CSyntaxWindowDoc::GoToOffset(int offset) {
    if (CSyntaxWindowView *view = firstSourceView()) {
        view->SelectLineAt(offset);
    }
}

void CSyntaxWindowDoc::RefreshFunctionList() {
    if (CSyntaxWindowView *view = firstSourceView()) {
        view->RefreshFunctionList();
    }
}

bool CSyntaxWindowDoc::readContents(const QByteArray &bytes, QString *) {
    const editors::SourceText source = editors::decodeSourceFile(bytes);
    // Building the editor's blocks and colouring and scanning the text each take about as long
    // on a large file: they run side by side. (Where no thread can be started, the colouring
    // runs when its result is asked for.)
    std::future<ReadWork> work =
        std::async(std::launch::async | std::launch::deferred, colourAndScan, source.text);
    // The store takes the finished lines instead of reading the new text block by block.
    m_colourClasses->setIgnoringChanges(true);
    takeSourceText(source);
    m_colourClasses->setIgnoringChanges(false);
    ReadWork done = work.get();
    m_colouredOnRead = m_colourClasses->adoptLines(std::move(done.lines));
    m_scanOfRead =
        ScanOfRead{std::move(done.scanner), std::move(done.reports), textDocument()->revision()};
    return true;
}

bool CSyntaxWindowDoc::takeScanOfRead(ScanSink *project) {
    std::optional<ScanOfRead> scan = std::exchange(m_scanOfRead, std::nullopt);
    if (!scan || scan->revision != textDocument()->revision()) {
        return false;
    }
    static_cast<JavaSourceScanner &>(*this) = scan->scanner;
    if (project) {
        scan->reports.replay(*project, pathName());
    }
    return true;
}

bool CSyntaxWindowDoc::onSaveDocument(const QString &path) {
    RefreshFunctionList();
    return PlainTextDocument::onSaveDocument(path);
}

void CSyntaxWindowDoc::deleteContents() {
    PlainTextDocument::deleteContents();
    // The text was emptied without a change notice.
    m_colourClasses->reset();
}

void CSyntaxWindowDoc::onReloaded() {
    if (CSyntaxWindowView *view = firstSourceView()) {
        view->ColourAndScanRead();
    }
    PlainTextDocument::onReloaded();
}
