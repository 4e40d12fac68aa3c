#pragma once

#include "editors/plaintextdocument.h"

// The document of an HTML window: the page's text.
class CEditWebDoc : public PlainTextDocument {
    Q_OBJECT

public:
    CEditWebDoc();
    ~CEditWebDoc() override;
};
