#pragma once

#include "editors/plaintextdocument.h"
#include "model/javasourcescanner.h"

#include <memory>

class ColourClassStore;
class LineMarks;
class CSyntaxWindowView;
class SourceHighlighter;

// The document of a Java source window: the file's text, the colour class of each of its
// characters with the highlighter that draws them, and what the last scan of the text found
// (the function-list entries and their offsets), and the marks the compiler's messages put on
// its lines, which every view shows. Operations that move the selection forward to the
// document's first view.
class CSyntaxWindowDoc : public PlainTextDocument, public JavaSourceScanner {
    Q_OBJECT

public:
    CSyntaxWindowDoc();
    ~CSyntaxWindowDoc() override;

    CSyntaxWindowView *firstSourceView() const;
    ColourClassStore &colourClasses() { return *m_colourClasses; }
    SourceHighlighter &highlighter() { return *m_highlighter; }
    LineMarks &lineMarks() { return *m_lineMarks; }

    // Selects a 0-based line in the first view.
    void GoToLine(int line);
    // Selects the line that holds a text offset (line breaks counted as CR LF).
    void GoToOffset(int offset);
    // Rescans the text and refills the function list of the first view.
    void RefreshFunctionList();

    // The function list is refreshed before every save.
    bool onSaveDocument(const QString &path) override;
    void deleteContents() override;

protected:
    // A text read again is coloured and scanned as on opening.
    void onReloaded() override;

private:
    // The store is made first: it must hear of every edit before the highlighter draws it.
    std::unique_ptr<ColourClassStore> m_colourClasses;
    std::unique_ptr<SourceHighlighter> m_highlighter;
    std::unique_ptr<LineMarks> m_lineMarks;
};
