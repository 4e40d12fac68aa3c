#include "app/fileposition.h"

#include <QFileInfo>
#include <QRegularExpression>

FilePosition splitFilePosition(const QString &argument) {
    if (QFileInfo::exists(argument)) {
        return {argument};
    }
    // FILE:LINE:COLUMN before FILE:LINE, so that "A.java:3:7" is not the file "A.java:3".
    static const QRegularExpression withColumn(QStringLiteral("^(.+):(\\d{1,9}):(\\d{1,9})$"));
    static const QRegularExpression withLine(QStringLiteral("^(.+):(\\d{1,9})$"));
    for (const QRegularExpression *form : {&withColumn, &withLine}) {
        const QRegularExpressionMatch match = form->match(argument);
        if (match.hasMatch() && QFileInfo(match.captured(1)).isFile()) {
            return {match.captured(1), match.captured(2).toInt(),
                    match.lastCapturedIndex() == 3 ? match.captured(3).toInt() : 0};
        }
    }
    return {argument};
}
