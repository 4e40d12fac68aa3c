#pragma once

#include "editors/colourclassstore.h"
#include "editors/plaintextdocument.h"
#include "model/javasourcescanner.h"
#include "model/scanrecording.h"

#include <future>
#include <memory>
#include <optional>
#include <utility>

class BreakpointMarks;
class LineMarks;
class LiveChecker;
class CSyntaxWindowView;
class SourceHighlighter;

// The document of a Java source window: the file's text, the colour class of each of its
// characters with the highlighter that draws them, and what the last scan of the text found
// (the function-list entries and their offsets), and the marks the compiler's messages put on
// its lines and the findings of its checks as it is typed, which every view shows. Operations that
// move the selection forward to the document's first view.
class CSyntaxWindowDoc : public PlainTextDocument, public JavaSourceScanner {
    Q_OBJECT

public:
    CSyntaxWindowDoc();
    ~CSyntaxWindowDoc() override;

    CSyntaxWindowView *firstSourceView() const;
    ColourClassStore &colourClasses() { return *m_colourClasses; }
    SourceHighlighter &highlighter() { return *m_highlighter; }
    LineMarks &lineMarks() { return *m_lineMarks; }
    // The breakpoints of the file, kept across edits and restarts.
    BreakpointMarks &breakpoints() { return *m_breakpoints; }
    // Errors as you type: the checks of the text against the open project.
    LiveChecker &liveChecker() { return *m_liveChecker; }

    // Selects a 0-based line in the first view.
    void GoToLine(int line);
    // Jumps in the first view to a 0-based line, the caret at a 0-based column or at the line's
    // first non-blank (editors::kFirstNonBlank), nothing selected, the line highlighted.
    void JumpToLine(int line, int column);
    // Selects the line that holds a text offset (line breaks counted as CR LF).
    void GoToOffset(int offset);
    // Rescans the text and refills the function list of the first view.
    void RefreshFunctionList();

    // The scan of the text as it was read, when nothing changed the text since: the scanner's
    // entries become the document's and the project hears of the classes found. Returns false,
    // doing nothing, when there is no such scan (it is given once).
    bool takeScanOfRead(ScanSink *project);
    // Whether the text read was coloured as it was read, so that it needs no colouring of the
    // whole text now; true once after each read.
    bool takeColouredOnRead() { return std::exchange(m_colouredOnRead, false); }

    // Gives the text document the text read, once its first view has taken the document.
    void fillPendingText() override;

    // The function list is refreshed before every save.
    bool onSaveDocument(const QString &path) override;
    // A file never saved is proposed under the name of the public class it declares, the one
    // name javac accepts for it.
    QString proposedFileName() const override;
    // A never-saved window is saved into the open project's folder.
    QString proposedFolder() const override;
    void deleteContents() override;

protected:
    // The text read is coloured and scanned on another thread while the editor takes it.
    bool readContents(const QByteArray &bytes, QString *error) override;
    // A text read again is coloured and scanned as on opening.
    void onReloaded() override;

private:
    // The store is made first: it must hear of every edit before the highlighter draws it.
    std::unique_ptr<ColourClassStore> m_colourClasses;
    std::unique_ptr<SourceHighlighter> m_highlighter;
    std::unique_ptr<LineMarks> m_lineMarks;
    std::unique_ptr<LiveChecker> m_liveChecker;
    std::unique_ptr<BreakpointMarks> m_breakpoints;

    // What the scan of the text read found, and the text's revision it holds for.
    struct ScanOfRead {
        JavaSourceScanner scanner;
        ScanRecording reports;
        int revision = 0;
    };
    std::optional<ScanOfRead> m_scanOfRead;

    // A file read before any view showed the document: its text, held back until the view has
    // taken the text document (a view that takes a document already full lays out every line
    // of it, making a layout object for each), and its colouring and scan under way.
    struct ReadWork {
        ColourClassStore::PreparedLines lines;
        JavaSourceScanner scanner;
        ScanRecording reports;
    };
    struct PendingText {
        editors::SourceText source;
        std::future<ReadWork> work;
    };
    std::optional<PendingText> m_pending;
    static ReadWork colourAndScan(const QString &editorText);
    bool m_colouredOnRead = false;
};
