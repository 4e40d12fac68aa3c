#pragma once

#include "editors/lineanchor.h"
#include "tools/compilermarks.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QTextCursor>

class QTextDocument;

// The compiler's marks on the lines of one text document: each mark holds the line it was put
// on as the text changes around it. A mark keeps two cursors, at the start and at the end of
// its line's text; text inserted or removed above the line moves both, and a line broken in two
// keeps its mark on the part that holds the line's start. When the line's text is removed whole
// (the line deleted, or all its text replaced) the two cursors meet and the mark goes: it spoke
// of text that is no longer there.
class LineMarks : public QObject {
    Q_OBJECT

public:
    // What the marks of one line show: the worst kind among them and their messages.
    struct MarkedLine {
        CompilerMessageKind kind = CompilerMessageKind::Warning;
        // The messages of the line, errors first, each with the lines that explain it.
        QStringList messages;
    };

    explicit LineMarks(QTextDocument *document);
    ~LineMarks() override;

    // Puts the marks on their lines (1-based), replacing the ones there were. A mark beyond the
    // last line is put on the last line.
    void setMarks(const QList<jdk::CompilerMark> &marks);
    void clear();
    // Whether no mark is left on any line.
    bool isEmpty() const;
    // The marked lines (0-based) as they are now.
    QMap<int, MarkedLine> markedLines() const;

Q_SIGNALS:
    // Marks were put, cleared, or went with the text they spoke of.
    void changed();

private:
    struct Mark {
        LineAnchor anchor;
        CompilerMessageKind kind = CompilerMessageKind::Error;
        QString text;
    };

    static bool isGone(const Mark &mark);
    void dropGoneMarks();

    QTextDocument *m_document;
    QList<Mark> m_marks;
};
