#include "editors/csyntaxwindowview.h"

#include "editors/csyntaxwindowdoc.h"
#include "framework/texteditcommands.h"

CSyntaxWindowView::CSyntaxWindowView()
{
    fw::installTextEditCommands(*this, *this);
}

CSyntaxWindowView::~CSyntaxWindowView() = default;

CSyntaxWindowDoc *CSyntaxWindowView::sourceDocument() const
{
    return dynamic_cast<CSyntaxWindowDoc *>(doc());
}

void CSyntaxWindowView::onInitialUpdate()
{
    if (CSyntaxWindowDoc *doc = sourceDocument()) {
        setDocument(doc->textDocument());
    }
    setFont(QFont(QStringLiteral("Courier New"), 10));
    setLineWrapMode(QPlainTextEdit::NoWrap);
}
