#include "project/newprojecttemplates.h"

namespace NewProjectTemplates {

QString substitute(const QString &text, const QString &placeholder, const QString &className) {
    QString result = text;
    result.replace(placeholder, className, Qt::CaseSensitive);
    return result;
}

QByteArray fileBytes(const QString &text) {
    QByteArray bytes = text.toUtf8();
    bytes.replace("\n", "\r\n");
    return bytes;
}

bool holdsPathSeparator(const QString &className) {
    return className.contains(QLatin1Char('/')) || className.contains(QLatin1Char('\\'));
}

} // namespace NewProjectTemplates
