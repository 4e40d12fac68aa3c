#include "project/addfilemessages.h"

#include "model/cjavalist.h"

namespace addfilemessages {

QString listForMessage(const QStringList &paths, int shown) {
    QStringList lines = paths.mid(0, shown);
    if (paths.size() > shown) {
        lines << QStringLiteral("... and %1 more").arg(paths.size() - shown);
    }
    return lines.join(QLatin1Char('\n'));
}

QString notAddedMessage(const QStringList &paths) {
    const QString head =
        paths.size() == 1
            ? QStringLiteral("A project holds at most %1 files. This file was not added:")
                  .arg(CJavaList::kCapacity)
            : QStringLiteral("A project holds at most %1 files. These %2 files were not added:")
                  .arg(CJavaList::kCapacity)
                  .arg(paths.size());
    return head + QStringLiteral("\n\n") + listForMessage(paths);
}

QString sameNamesQuestion(const QStringList &paths) {
    return QStringLiteral("A project holds one file of each name. These %1 files have the names "
                          "of files already in the project or of other files being added:\n\n")
               .arg(paths.size())
           + listForMessage(paths)
           + QStringLiteral("\n\nReplace the files of the same names with them? (No keeps the "
                            "files already in the project, and the first of each name found.)");
}

} // namespace addfilemessages
