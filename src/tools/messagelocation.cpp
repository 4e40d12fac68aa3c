#include "tools/messagelocation.h"

#include "tools/jdkcommands.h"

#include <QDir>
#include <QFileInfo>

namespace jdk {

std::optional<MessageLocation> messageLocation(QStringView line, const QString &toolFolder) {
    static const QString kSuffix = QStringLiteral(".java:");
    // A folder or file name may hold ".java:" itself, so every place where it is followed by a
    // digit is tried, the shortest path first.
    for (qsizetype found = line.indexOf(kSuffix); found >= 0;
         found = line.indexOf(kSuffix, found + 1)) {
        const qsizetype colon = found + kSuffix.size() - 1;
        if (colon + 1 >= line.size() || line.at(colon + 1) < QLatin1Char('0')
            || line.at(colon + 1) > QLatin1Char('9')) {
            continue;
        }
        const QString written = line.first(colon).toString();
        const QString path = QDir::isAbsolutePath(written) || toolFolder.isEmpty()
                                 ? written
                                 : QDir(toolFolder).filePath(written);
        const QFileInfo file(path);
        if (file.isFile()) {
            return MessageLocation{QDir::cleanPath(file.absoluteFilePath()),
                                   atoiPrefix(line.sliced(colon + 1))};
        }
    }
    return std::nullopt;
}

} // namespace jdk
