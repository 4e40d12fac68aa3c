#include "editors/csyntaxwindowdoc.h"

#include "editors/csyntaxwindowview.h"

CSyntaxWindowDoc::CSyntaxWindowDoc() = default;

CSyntaxWindowDoc::~CSyntaxWindowDoc() = default;

CSyntaxWindowView *CSyntaxWindowDoc::firstSourceView() const
{
    return dynamic_cast<CSyntaxWindowView *>(firstView());
}

void CSyntaxWindowDoc::GoToLine(int) {}

void CSyntaxWindowDoc::GoToOffset(int) {}

void CSyntaxWindowDoc::RefreshFunctionList() {}

bool CSyntaxWindowDoc::onSaveDocument(const QString &path)
{
    RefreshFunctionList();
    return PlainTextDocument::onSaveDocument(path);
}
