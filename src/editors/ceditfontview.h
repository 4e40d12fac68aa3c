#pragma once

#include "framework/view.h"

#include <QFont>
#include <QPlainTextEdit>

class PlainTextDocument;

// The plain-text edit view: the text in the user's source font (face and size from the
// settings, changed with "Font..."), tab stops every four characters, a small inner margin,
// no colouring and no line wrapping. Enter repeats the indentation of the line above when the
// key is released; Increase Indent and Decrease Indent work on every line the selection
// touches, the line of its end included even at its first character; Convert Linebreaks makes
// every line break CR LF. Double-click selects a word and Ctrl+Left and Ctrl+Right move by
// words as WordBreak finds them, so the underscore belongs to a word and punctuation ends one.
class CEditFontView : public QPlainTextEdit, public fw::View {
    Q_OBJECT

public:
    // The inner margin between the view's edge and its text, in pixels.
    static constexpr int kLeftTextMargin = 12;
    static constexpr int kTopTextMargin = 4;

    CEditFontView();
    ~CEditFontView() override;

    QWidget *widget() override { return this; }
    PlainTextDocument *plainDocument() const;
    QFont viewFont() const { return m_viewFont; }

    void onInitialUpdate() override;

    void SetTextMargins();
    // Inserts the indentation of the line above the caret's line.
    void AutoIndent();
    void IndentSelection();
    void OutdentSelection();
    void ConvertLinebreaks();
    void ChooseFont();

    // Where a word-wise move from a position ends: by words within a line, and from either end
    // of a line to the nearest end of the next or previous one.
    int NextWordPosition(int position) const;
    int PreviousWordPosition(int position) const;
    // Selects the word at a position, as a double-click there does.
    void SelectWordAt(int position);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void applyViewFont(const QFont &font);
    // Another view of the same document, when there is one.
    const CEditFontView *firstOtherView() const;
    // Handles the word-wise keys; false for any other key.
    bool moveByWord(const QKeyEvent &event);
    void setCaretHidden(bool hidden);

    QFont m_viewFont;
    // Whether the Enter key now held down has broken a line, so that its release indents.
    bool m_lineBroken = false;
    int m_caretWidth = 1;
    // The width the line numbers keep free left of the text; 0 while they are hidden.
    int m_lineNumberWidth = 0;
};
