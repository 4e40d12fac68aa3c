#include "editors/csyntaxwindowdoc.h"

#include "editors/breakpointmarks.h"
#include "editors/colourclassstore.h"
#include "editors/csyntaxwindowview.h"
#include "editors/linemarks.h"
#include "editors/livechecker.h"
#include "editors/longlines.h"
#include "editors/sourcehighlighter.h"
#include "editors/sourceproject.h"
#include "editors/sourcetext.h"
#include "editors/syntaxcolouring.h"
#include "services/ideservices.h"
#include "tools/javapackage.h"

#include <future>

namespace {

SourceColours coloursNow() {
    IdeServices *services = IdeServices::instance();
    return services ? SourceColours::fromSettings(services->settings()) : SourceColours{};
}
} // namespace

CSyntaxWindowDoc::CSyntaxWindowDoc()
    : m_colourClasses(std::make_unique<ColourClassStore>(viewDocument()))
    , m_highlighter(
          std::make_unique<SourceHighlighter>(viewDocument(), *m_colourClasses, coloursNow()))
    , m_lineMarks(std::make_unique<LineMarks>(viewDocument()))
    , m_liveChecker(std::make_unique<LiveChecker>(
          viewDocument(), m_lineMarks.get(), [this] { return pathName(); },
          [](const QString &path, const QString &text) -> std::optional<LiveCheckSetup> {
              IdeServices *services = IdeServices::instance();
              auto *project =
                  services ? dynamic_cast<SourceProject *>(services->GetProjectDoc()) : nullptr;
              return project ? project->LiveCheckFor(path, text) : std::nullopt;
          }))
    , m_breakpoints(
          std::make_unique<BreakpointMarks>(viewDocument(), [this] { return pathName(); })) {
    setShortensLongLines(true);
}

CSyntaxWindowDoc::~CSyntaxWindowDoc() = default;

CSyntaxWindowView *CSyntaxWindowDoc::firstSourceView() const {
    return dynamic_cast<CSyntaxWindowView *>(firstView());
}

void CSyntaxWindowDoc::GoToLine(int line) {
    if (CSyntaxWindowView *view = firstSourceView()) {
        view->SelectLine(line);
    }
}

void CSyntaxWindowDoc::JumpToLine(int line, int column) {
    if (CSyntaxWindowView *view = firstSourceView()) {
        view->JumpToLine(line, column);
    }
}

void CSyntaxWindowDoc::GoToOffset(int offset) {
    if (CSyntaxWindowView *view = firstSourceView()) {
        view->SelectLineAt(offset);
    }
}

QString CSyntaxWindowDoc::proposedFileName() const {
    if (pathName().isEmpty()) {
        if (const QString publicClass = jdk::declaredPublicClass(editorText());
            !publicClass.isEmpty()) {
            return publicClass + QStringLiteral(".java");
        }
    }
    return PlainTextDocument::proposedFileName();
}

QString CSyntaxWindowDoc::proposedFolder() const {
    if (pathName().isEmpty()) {
        if (IdeServices *ide = IdeServices::instance()) {
            if (const auto *project = dynamic_cast<const SourceProject *>(ide->GetProjectDoc())) {
                return project->newFileFolder();
            }
        }
    }
    return PlainTextDocument::proposedFolder();
}

void CSyntaxWindowDoc::RefreshFunctionList() {
    if (CSyntaxWindowView *view = firstSourceView()) {
        view->RefreshFunctionList();
    }
}

CSyntaxWindowDoc::ReadWork CSyntaxWindowDoc::colourAndScan(const QString &editorText) {
    ReadWork work;
    editors::ColourClasses classes;
    {
        // The text with CR LF line breaks is let go before the lines are made: on a large file
        // the two together would be the largest part of the memory an open takes.
        const QString crLfText = editors::toCrLfText(editorText);
        // The path is named when the reports are given to the project.
        work.scanner.ScanSource(crLfText, QString(), &work.reports);
        classes = editors::classifyWholeText(crLfText);
    }
    work.lines = ColourClassStore::prepareLines(editorText, classes);
    return work;
}

bool CSyntaxWindowDoc::readContents(const QByteArray &bytes, QString *) {
    const editors::SourceText source = editors::decodeSourceFile(bytes);
    takeSourceFormat(source);
    // Building the editor's blocks and colouring and scanning the text each take about as long
    // on a large file: they run side by side. (Where no thread can be started, the colouring
    // runs when its result is asked for.)
    m_pending = PendingText{source, std::async(std::launch::async | std::launch::deferred,
                                               colourAndScan, editors::shownTextOf(source.text))};
    // A document already shown (a file read again) takes its text at once.
    if (firstView()) {
        fillPendingText();
    }
    return true;
}

void CSyntaxWindowDoc::fillPendingText() {
    if (!m_pending) {
        return;
    }
    PendingText pending = std::move(*m_pending);
    m_pending.reset();
    // The store takes the finished lines instead of reading the new text block by block.
    m_colourClasses->setIgnoringChanges(true);
    m_breakpoints->forget();
    takeSourceText(pending.source);
    m_breakpoints->load();
    m_colourClasses->setIgnoringChanges(false);
    ReadWork done = pending.work.get();
    m_colouredOnRead = m_colourClasses->adoptLines(std::move(done.lines));
    m_scanOfRead =
        ScanOfRead{std::move(done.scanner), std::move(done.reports), viewDocument()->revision()};
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
    m_pending.reset();
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
