#include "editors/plaintextdocument.h"

#include "editors/recoverycopy.h"
#include "framework/prompter.h"
#include "editors/longlines.h"

#include <QPlainTextDocumentLayout>
#include <QTextBlock>

PlainTextDocument::PlainTextDocument()
    : m_recoveryCopy(std::make_unique<RecoveryCopy>(*this)) {
    m_text.setDocumentLayout(new QPlainTextDocumentLayout(&m_text));
    m_text.setUndoRedoEnabled(true);
    connect(&m_text, &QTextDocument::modificationChanged, this,
            [this](bool modified) { setModifiedFlag(modified); });
    connect(this, &fw::Document::modifiedChanged, &m_text,
            [this](bool modified) { m_text.setModified(modified); });
    connect(&m_text, &QTextDocument::contentsChanged, m_recoveryCopy.get(),
            &RecoveryCopy::schedule);
    connect(this, &fw::Document::modifiedChanged, m_recoveryCopy.get(), [this](bool modified) {
        if (modified) {
            m_recoveryCopy->schedule();
        } else {
            m_recoveryCopy->discard();
        }
    });
}

PlainTextDocument::~PlainTextDocument() = default;

void PlainTextDocument::takeRecoveredText(const QString &text, const QString &entryId) {
    setEditorText(text);
    // Taken after the text is set, which may drop the copy of the text it replaces.
    m_recoveryCopy->adopt(entryId);
    setModifiedFlag(true);
    // The text is copied again even when setting it left the flag as it was.
    m_recoveryCopy->schedule();
}

QString PlainTextDocument::editorText() const {
    // Reading the text is no change of it: a text held back is given to the document first.
    const_cast<PlainTextDocument *>(this)->fillPendingText();
    return editors::wholeText(m_text);
}

QString PlainTextDocument::shownText() const {
    const_cast<PlainTextDocument *>(this)->fillPendingText();
    // toRawText keeps every character as typed (toPlainText would turn no-break spaces into
    // spaces); only the block separators become line breaks.
    QString text = m_text.toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void PlainTextDocument::setEditorText(const QString &text) {
    fillPendingText();
    if (m_shortensLongLines) {
        editors::setShortenedText(m_text, text);
    } else {
        m_text.setPlainText(text);
    }
}

void PlainTextDocument::ConvertLinebreaks() {
    // The text as the file would hold it, each of its line breaks then made one line break of
    // the editor; saved in CR LF style, every one of them is a CR LF.
    QString fileText = editorText();
    if (m_lineBreakStyle == editors::LineBreakStyle::CrLf) {
        fileText.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    }
    fileText.replace(editors::kCarriageReturnPlaceholder, QLatin1Char('\r'));
    fileText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    fileText.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setEditorText(fileText);
    m_lineBreakStyle = editors::LineBreakStyle::CrLf;
    setModifiedFlag(true);
}

void PlainTextDocument::deleteContents() {
    m_recoveryCopy->discard();
    const bool blocked = m_text.blockSignals(true);
    m_text.clear();
    m_text.setModified(false);
    m_text.blockSignals(blocked);
}

bool PlainTextDocument::readContents(const QByteArray &bytes, QString *) {
    takeSourceText(editors::decodeSourceFile(bytes));
    return true;
}

void PlainTextDocument::takeSourceText(const editors::SourceText &source) {
    takeSourceFormat(source);
    if (m_shortensLongLines) {
        editors::setShortenedText(m_text, source.text);
    } else {
        m_text.setPlainText(source.text);
    }
    m_text.clearUndoRedoStacks();
    // The text as read is the file's: unmodified, also when it is given after the open.
    m_text.setModified(false);
}

bool PlainTextDocument::onSaveDocument(const QString &path) {
    if (m_encoding == editors::SourceEncoding::Latin1
        && !editors::isEncodable(editorText(), m_encoding)) {
        const fw::Answer answer = fw::prompter().message(
            QStringLiteral("%1 is saved in Latin-1 (ISO 8859-1), which cannot hold some of the "
                           "characters typed into it.\n\nSave it in UTF-8 from now on? Its "
                           "other characters beyond ASCII are then written in UTF-8 too.\n\nNo "
                           "leaves the file as it is.")
                .arg(path),
            fw::MessageButtons::YesNo);
        if (answer != fw::Answer::Yes) {
            return false;
        }
        m_encoding = editors::SourceEncoding::Utf8;
    }
    return fw::Document::onSaveDocument(path);
}

QByteArray PlainTextDocument::writeContents() {
    const QString text = editorText();
    // A character Latin-1 cannot hold would be lost: the bytes are UTF-8 then. A save asks
    // before it writes such bytes (onSaveDocument).
    const editors::SourceEncoding encoding =
        editors::isEncodable(text, m_encoding) ? m_encoding : editors::SourceEncoding::Utf8;
    return editors::encodeSourceFile(text, encoding, m_lineBreakStyle, m_standIns);
}
