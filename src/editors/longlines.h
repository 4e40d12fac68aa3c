#pragma once

#include <QObject>
#include <QString>
#include <QTextCursor>

#include <vector>

class QPlainTextEdit;
class QTextBlock;
class QTextDocument;

namespace editors {

// The lines of a text document too long to be edited at typing speed: an editor lays out and
// draws a line whole, and a line of a megabyte takes a good part of a second at every keystroke
// and every blink of the caret. A text set through setText shows each line longer than
// kLongestShownLine characters as its first kLongestShownLine characters; the rest of the line
// (its hidden end) is kept here, anchored at the place in the text where it stands, and moves
// with the text as it is edited. The whole text, hidden ends in place, is what wholeText gives:
// it is what is saved, compiled and checked. showWholeLine puts a line's hidden end back into
// the text on demand.
//
// An edit that removes text on both sides of a hidden end (a selection across the end of the
// line) removes the hidden end with it; undoing that edit brings it back in its place.
//
// Made a child of its text document, so that whoever holds the document finds it.
class LongLines : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype kLongestShownLine = 10'000;

    explicit LongLines(QTextDocument &document);

    // The long lines of a document, made on first use.
    static LongLines &of(QTextDocument &document);
    // Those of a document, if it has any.
    static const LongLines *find(const QTextDocument &document);

    // Sets the document's text (lines split at '\n'), long lines shortened.
    void setText(const QString &text);
    bool hasHiddenEnds() const { return !m_hidden.empty(); }
    // The hidden characters that stand at the end of the shown part of block, or 0.
    qsizetype hiddenLengthAt(const QTextBlock &block) const;
    // Puts the hidden ends within block back into the text. The document's undo history is
    // cleared (an undo must not take the characters out again) and its modified flag kept.
    void showWholeLine(const QTextBlock &block);
    // The document's text with every hidden end in place and '\n' line breaks.
    QString wholeText() const;
    // The text between two positions of the document with the hidden ends strictly between
    // them in place: what a copy of that stretch holds.
    QString wholeTextBetween(int from, int to) const;

private:
    struct HiddenEnd {
        QTextCursor anchor;
        QString characters;
        int lastPosition; // where the anchor stood before the last change
    };
    // A hidden end removed with the text around it, and where and how much text went: the
    // change that puts that text back (an undo) brings it back.
    struct RemovedEnd {
        HiddenEnd end;
        int position;
        int removed;
    };

    void followChange(int position, int removed, int added);
    void sortByPlace();

    QTextDocument &m_document;
    // In the order of the text.
    std::vector<HiddenEnd> m_hidden;
    std::vector<RemovedEnd> m_removed;
    bool m_settingText = false;
};

// The whole text of a document: its own text with '\n' line breaks, and hidden ends in place.
QString wholeText(const QTextDocument &document);
// The text a document shows when given text: long lines shortened. text itself when it has no
// long line.
QString shownTextOf(const QString &text);
// Sets a document's text, long lines shortened; any hidden ends it had are dropped.
void setShortenedText(QTextDocument &document, const QString &text);

// Draws, after the shown part of each visible line with a hidden end, a note of how many
// characters are hidden. Called by the view after it has painted its text.
void paintHiddenEndNotes(QPlainTextEdit &view);
// A double-click on the note of a line shows the line whole.
void showWholeLinesOnDoubleClick(QPlainTextEdit &view);

} // namespace editors
