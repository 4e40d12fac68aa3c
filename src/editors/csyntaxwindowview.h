#pragma once

#include "editors/colourclass.h"
#include "framework/findreplacedialog.h"
#include "framework/view.h"

#include <QFont>
#include <QPlainTextEdit>

#include <memory>

class CChildFrame;
class CSyntaxWindowDoc;
class LineNumberMargin;
class QTextBlock;
class ColourClassStore;
class ScanSink;
class SourceProject;

// The editor of a Java source window. It colours keywords, strings and comments (the whole
// text on opening, on F3 and after Convert Linebreaks; the caret's line after every typed
// character), keeps the indentation of the line above on Enter, indents and outdents blocks of
// lines, fills the function list of its frame and selects the line of a chosen entry, shows the
// caret's line in the status bar, compiles its file and adds it to the open project. Its margin
// shows the line numbers when they are on and the marks of the compiler's messages; the text
// that the checks as you type found fault with has a wavy underline, with the message as its
// tooltip.
//
// Offsets named in the operations count every line break as CR LF, as the colouring passes and
// the scanner do; lines are 0-based.
class CSyntaxWindowView : public QPlainTextEdit, public fw::View, public fw::EditRunner {
    Q_OBJECT

public:
    CSyntaxWindowView();
    ~CSyntaxWindowView() override;

    QWidget *widget() override { return this; }
    CSyntaxWindowDoc *sourceDocument() const;
    CChildFrame *childFrame() const;
    QFont viewFont() const { return m_viewFont; }

    void onInitialUpdate() override;

    // Colouring.
    void ColourAll(bool suppressRedraw);
    // Colours the whole text and fills the function list after the document read its file,
    // taking what was done while it read.
    void ColourAndScanRead();
    void ColourCurrentLine();
    // A copy of the text for printing, with the colours it is shown in as character formats.
    std::unique_ptr<QTextDocument> printableDocument() const;
    // Undoes or redoes the last edit and colours the text it brings back.
    void UndoOrRedo(bool redo);
    // Makes an edit that colours nothing by itself (undo, redo, a replacement) and colours the
    // lines it touched.
    void runEdit(const std::function<void()> &edit) override;
    // Gives the characters base+from .. base+to-1 the class; a run that has it already is left
    // alone. Returns whether anything changed.
    bool ApplyRun(qsizetype base, editors::ColourClass colourClass, qsizetype from, qsizetype to);
    bool IsInBlockComment(qsizetype offset) const;

    // Editing.
    void AutoIndent(QChar character);
    void IndentSelection();
    void OutdentSelection();
    void ConvertLinebreaks();
    void ChooseFont();

    // Lines and the function list.
    void ShowLineNumber();
    void SelectLine(int line);
    void SelectLineAt(int offset);
    // A jump from a compiler message or Go to Line: see editors::jumpToLine.
    void JumpToLine(int line, int column);
    void RefreshFunctionList();
    // Selects the line of function-list entry index, at the offset the last scan stored.
    void ChooseEntry(int index);

    // The messages of the findings of the checks as you type under a point of the viewport, as
    // its tooltip shows them; "" where there are none.
    QString findingToolTipAt(const QPoint &viewportPosition) const;

    // The project.
    void CompileCurrentFile();
    void AddWindowToProject();
    void ShowProjectWindow();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    // Draws the colours of the lines about to be painted first, so that no line is ever shown
    // without them.
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // A copy or a drag holds the hidden ends of long lines within the selection.
    QMimeData *createMimeDataFromSelection() const override;
    bool viewportEvent(QEvent *event) override;

private:
    void registerCommands();
    void applyViewFont(const QFont &font);
    void colourLine(const QTextBlock &block);
    // Colours the whole text, given with CR LF line breaks.
    void colourText(const QString &crLfText, bool suppressRedraw);
    // Scans the text, given with CR LF line breaks, and fills the function list.
    void scanText(const QString &crLfText);
    ColourClassStore *colourClasses() const;
    // Draws the lines whose classes the last runs changed.
    void drawChangedLines();
    // Gives every line the viewport shows the formats of its classes.
    void drawVisibleLines();
    // Underlines the text the checks as you type found fault with.
    void showFindings();
    int lineCount() const;

    QFont m_viewFont;
    LineNumberMargin *m_margin = nullptr;
};
