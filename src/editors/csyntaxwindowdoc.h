#pragma once

#include "editors/plaintextdocument.h"
#include "model/javasourcescanner.h"

class CSyntaxWindowView;

// The document of a Java source window: the file's text and what the last scan of it found
// (the function-list entries and their offsets). Operations that move the selection forward to
// the document's first view.
class CSyntaxWindowDoc : public PlainTextDocument, public JavaSourceScanner {
    Q_OBJECT

public:
    CSyntaxWindowDoc();
    ~CSyntaxWindowDoc() override;

    CSyntaxWindowView *firstSourceView() const;

    // Selects a 0-based line in the first view.
    void GoToLine(int line);
    // Selects the line that holds a text offset (line breaks counted as CR LF).
    void GoToOffset(int offset);
    // Rescans the text and refills the function list of the first view.
    void RefreshFunctionList();

    // The function list is refreshed before every save.
    bool onSaveDocument(const QString &path) override;
};
