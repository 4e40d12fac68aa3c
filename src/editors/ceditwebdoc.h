#pragma once

#include "editors/plaintextdocument.h"

// The document of an HTML window: the page's text, read and written byte for byte. A file
// longer than kMaxFileBytes is refused with "The file is too large to open." and not opened.
class CEditWebDoc : public PlainTextDocument {
    Q_OBJECT

public:
    static constexpr qint64 kMaxFileBytes = 0xFFFFF;

    CEditWebDoc();
    ~CEditWebDoc() override;

    bool onOpenDocument(const QString &path) override;

protected:
    bool acceptsContents(const QByteArray &bytes, QString *error) const override;
    bool readContents(const QByteArray &bytes, QString *error) override;
};
