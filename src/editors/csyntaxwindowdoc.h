#pragma once

#include "editors/plaintextdocument.h"

class CSyntaxWindowView;

// The document of a Java source window: the file's text.
class CSyntaxWindowDoc : public PlainTextDocument {
    Q_OBJECT

public:
    CSyntaxWindowDoc();
    ~CSyntaxWindowDoc() override;

    CSyntaxWindowView *firstSourceView() const;
};
