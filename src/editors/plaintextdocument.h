#pragma once

#include "editors/sourcetext.h"
#include "framework/document.h"

#include <QTextDocument>

#include <memory>

class RecoveryCopy;

// A document whose data is plain text, read and written whole: the text lives in one
// QTextDocument that every view of the document shows. The file's bytes are kept as they were:
// its encoding (UTF-8, else Latin-1) and its line-break style are remembered and used again
// when it is saved, and saving goes through a temporary file so that a failed save leaves the
// old file whole and the document modified. While it is modified, a recovery copy of its text is
// kept (see RecoveryCopy).
class PlainTextDocument : public fw::Document {
    Q_OBJECT

public:
    PlainTextDocument();
    ~PlainTextDocument() override;

    // The text document, holding the file's text.
    QTextDocument *textDocument() {
        fillPendingText();
        return &m_text;
    }
    // The text document for a view about to show it, which may not yet hold the text read:
    // the view takes it first and then calls fillPendingText.
    QTextDocument *viewDocument() { return &m_text; }
    // Gives the text document a text that was read and held back until a view had taken the
    // document (a document may hold back its text; this one never does). Every accessor of the
    // text calls it first.
    virtual void fillPendingText() {}
    // The whole text with '\n' line breaks, as the editor holds it (with the hidden ends of
    // long lines in place, see editors::LongLines).
    QString editorText() const;
    // The text as the text document shows it: long lines shortened.
    QString shownText() const;
    void setEditorText(const QString &text);

    editors::SourceEncoding encoding() const { return m_encoding; }
    editors::LineBreakStyle lineBreakStyle() const { return m_lineBreakStyle; }
    // The line breaks the next save writes.
    void setLineBreakStyle(editors::LineBreakStyle style) { m_lineBreakStyle = style; }
    // Makes every line break of the text, CR LF, a lone CR or a lone LF, one CR LF, as the
    // next save writes them, and marks the document modified. The text is set anew, so the
    // edits before it can no longer be undone.
    void ConvertLinebreaks();

    // Shows a text recovered after a crash in place of the one read, marked modified, and goes
    // on keeping its recovery copy under the recovered entry's id.
    void takeRecoveredText(const QString &text, const QString &entryId);

    // A text typed into a Latin-1 file that Latin-1 cannot hold is saved as UTF-8 only when the
    // user agrees, as that changes the bytes of every other character beyond ASCII in the file;
    // without that the save does not happen and the document stays modified.
    bool onSaveDocument(const QString &path) override;

    bool supportsMultipleViews() const override { return true; }
    bool offersReload() const override { return true; }
    void deleteContents() override;

protected:
    // Shows lines too long to edit at typing speed shortened, the rest on demand (set before
    // any text is given).
    void setShortensLongLines(bool shortens) { m_shortensLongLines = shortens; }
    bool shortensLongLines() const { return m_shortensLongLines; }
    bool readContents(const QByteArray &bytes, QString *error) override;
    QByteArray writeContents() override;
    // Gives the document a decoded file: its text (with no undo history), encoding and
    // line-break style.
    void takeSourceText(const editors::SourceText &source);
    // Remembers the encoding and line breaks of a file read, for its next save.
    void takeSourceFormat(const editors::SourceText &source) {
        m_encoding = source.encoding;
        m_lineBreakStyle = source.lineBreakStyle;
        m_standIns = source.standIns;
    }

private:
    QTextDocument m_text;
    // Declared after the text, whose signals it hears, so that it goes first.
    std::unique_ptr<RecoveryCopy> m_recoveryCopy;
    editors::SourceEncoding m_encoding = editors::SourceEncoding::Utf8;
    editors::LineBreakStyle m_lineBreakStyle = editors::LineBreakStyle::Lf;
    QList<editors::StandIn> m_standIns;
    bool m_shortensLongLines = false;
};
