#include "editors/csyntaxwindowdoc.h"

#include "editors/colourclassstore.h"
#include "editors/csyntaxwindowview.h"
#include "editors/linemarks.h"
#include "editors/sourcehighlighter.h"
#include "services/ideservices.h"

namespace {
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
        view->ColourAll(true);
        view->RefreshFunctionList();
    }
    PlainTextDocument::onReloaded();
}
