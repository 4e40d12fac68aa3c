#include "editors/ceditwebdoc.h"

#include "framework/prompter.h"

#include <QFileInfo>

namespace {
const QString kTooLarge = QStringLiteral("The file is too large to open.");
}

CEditWebDoc::CEditWebDoc() = default;

CEditWebDoc::~CEditWebDoc() = default;

bool CEditWebDoc::onOpenDocument(const QString &path) {
    // Refused before it is read, so that a huge file is never loaded whole.
    if (QFileInfo(path).size() > kMaxFileBytes) {
        fw::prompter().message(kTooLarge);
        return false;
    }
    return PlainTextDocument::onOpenDocument(path);
}

bool CEditWebDoc::acceptsContents(const QByteArray &bytes, QString *error) const {
    // The file may have grown between the look at its size and the read.
    if (bytes.size() > kMaxFileBytes) {
        *error = kTooLarge;
        return false;
    }
    return true;
}

bool CEditWebDoc::readContents(const QByteArray &bytes, QString *error) {
    return acceptsContents(bytes, error) && PlainTextDocument::readContents(bytes, error);
}
