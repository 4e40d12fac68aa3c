#pragma once

#include "editors/syntaxcolouring.h"

#include <QObject>
#include <QString>

#include <vector>

class QTextDocument;

// The colour class of every character of a text document, kept beside the text, line by line,
// and moved with the text as it is edited: an edit keeps the classes of the characters it does
// not touch, and an inserted character takes the class of the character before it on its line
// (Normal at the start of a line). The classes never enter the document itself, so setting them
// changes neither its undo history nor its modified flag.
//
// Invariant outside an edit: one line per block of the document, each line's classes as long
// as the block's text. The store also keeps each line's text (to tell from the document which
// characters an edit really changed, whatever range the change notice names) and the last
// block-comment delimiter in it (to answer whether a comment stands open before a line without
// looking at the text above it).
//
// Offsets given to applyRun and lineAt count each line break as CR LF, as the colouring passes
// do; a line's own characters map one to one.
class ColourClassStore : public QObject {
    Q_OBJECT

private:
    struct Line {
        QString text;
        editors::ColourClasses classes;
        editors::CommentMarker lastMarker = editors::CommentMarker::None;
        bool drawn = false;
    };

public:
    struct LinePosition {
        int line = 0;
        qsizetype crLfStart = 0; // CR LF offset of the line's first character
    };

    explicit ColourClassStore(QTextDocument *document);
    ~ColourClassStore() override;

    int lineCount() const { return static_cast<int>(m_lines.size()); }
    const editors::ColourClasses &lineClasses(int line) const;

    // Gives the characters at CR LF offsets from .. to-1 the class; the offsets of line breaks
    // are passed over. Lines whose classes change are noted as dirty; a run that already has
    // the class changes nothing. Returns whether any class changed.
    bool applyRun(qsizetype from, qsizetype to, editors::ColourClass colourClass);
    // The lines whose classes applyRun changed since the last call, in ascending order.
    std::vector<int> takeDirtyLines();

    // Whether a line's classes were drawn into its block since they or its text last changed.
    // Every line starts undrawn; an edit of a line or a change of its classes makes it undrawn
    // again, and the highlighter draws it before it is painted.
    bool isDrawn(int line) const { return line >= 0 && line < lineCount() && m_lines[line].drawn; }
    void setDrawn(int line) {
        if (line >= 0 && line < lineCount()) {
            m_lines[line].drawn = true;
        }
    }

    // The line that holds a CR LF offset (the last line for an offset beyond the text, the
    // first for a negative one) and that line's start. Runs asked for in text order cost
    // constant time each.
    LinePosition lineAt(qsizetype crLfOffset) const;
    // Whether a block comment stands open at the start of a line: the nearest delimiter above
    // it is a "/*".
    bool isOpenAtLineStart(int line) const;
    // Whether a text block stands open at the start of a line, as the lines above it tell one
    // after the other (textBlockOpenAfterLine). The answers are kept down to the first line an
    // edit changed, so typing on one line costs no walk over the text above it.
    bool isInTextBlockAtLineStart(int line) const;

    // The lines of a text and their classes, made away from the store (on any thread) while
    // the document takes the same text, and then taken by the store in place of reading the
    // lines from the document and colouring them.
    class PreparedLines {
    public:
        PreparedLines() = default;

    private:
        friend class ColourClassStore;
        std::vector<Line> m_lines;
        qsizetype m_characters = 0; // the text's length, line breaks as one character
        QString m_backing;          // the text the lines' texts point into
    };

    // The lines of an editor text ('\n' line breaks) with their classes, given as
    // classifyWholeText gives them for the text's CR LF form. Touches no store: safe on any
    // thread.
    // The lines' texts are not copied: they point into the text, which they keep.
    static PreparedLines prepareLines(const QString &editorText,
                                      const editors::ColourClasses &crLfClasses);
    // Takes prepared lines as the store's lines when the document holds a text of their shape
    // (as many lines, as many characters); otherwise reads the lines from the document, all
    // classes Normal. Returns whether the prepared lines were taken.
    bool adoptLines(PreparedLines &&prepared);

    // Reads every line again from the document, all classes Normal.
    void reset();
    // How many times the store has been reset: an edit it could not follow line by line resets
    // it, and then only colouring the whole text brings the classes back.
    int resetCount() const { return m_resetCount; }
    // While set, change notices are ignored: the highlighter's own layout refreshes are
    // reported as changes although no character changed.
    void setIgnoringChanges(bool ignoring) { m_ignoringChanges = ignoring; }

private:
    void onContentsChange(int position, int removed, int added);
    // Reads every line from the document, all classes Normal, without counting a reset.
    void readAllLines();
    static Line makeLine(QString text, editors::ColourClasses classes);
    qsizetype crLfLineStart(int line) const;

    QTextDocument *m_document;
    // The text that lines taken from prepared lines point into, until the lines are read
    // again; lines changed by edits hold texts of their own.
    QString m_backing;
    std::vector<Line> m_lines;
    std::vector<int> m_dirtyLines;
    bool m_ignoringChanges = false;
    int m_resetCount = 0;
    mutable LinePosition m_hint;
    // Slot i: whether a text block stands open at the start of line i; known for the first
    // m_textBlockKnown lines.
    mutable std::vector<bool> m_textBlockOpen;
    mutable int m_textBlockKnown = 0;
};
