#include "editors/ceditwebview.h"

#include "editors/cgotolinedialog.h"

CEditWebView::CEditWebView() {
    // Edit > "Go to Line..." selects the line asked for.
    editors::installGoToLineCommand(*this, *this);
}

CEditWebView::~CEditWebView() = default;
