#include "editors/csyntaxwindowdoc.h"

#include "editors/csyntaxwindowview.h"

CSyntaxWindowDoc::CSyntaxWindowDoc() = default;

CSyntaxWindowDoc::~CSyntaxWindowDoc() = default;

CSyntaxWindowView *CSyntaxWindowDoc::firstSourceView() const
{
    return dynamic_cast<CSyntaxWindowView *>(firstView());
}
