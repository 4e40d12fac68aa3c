#include "tools/messagelocation.h"

#include "tools/jdkcommands.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// A message of a file has its kind after the file and line; one of the compiler itself starts
// the line with it.
constexpr QLatin1StringView kError("error:");
constexpr QLatin1StringView kFileError(": error:");
constexpr QLatin1StringView kWarning("warning:");
constexpr QLatin1StringView kFileWarning(": warning:");

} // namespace

CompilerMessageKind compilerMessageKind(QStringView line) {
    if (line.startsWith(kError) || line.contains(kFileError)) {
        return CompilerMessageKind::Error;
    }
    if (line.startsWith(kWarning) || line.contains(kFileWarning)) {
        return CompilerMessageKind::Warning;
    }
    return CompilerMessageKind::None;
}

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

bool isFileMessage(QStringView line) {
    static const QString kSuffix = QStringLiteral(".java:");
    static const QString kError = QStringLiteral(": error:");
    static const QString kWarning = QStringLiteral(": warning:");
    // The kind follows the line number after the first ".java:" that a digit follows.
    for (qsizetype found = line.indexOf(kSuffix); found >= 0;
         found = line.indexOf(kSuffix, found + 1)) {
        const QStringView rest = line.sliced(found + kSuffix.size());
        if (!rest.isEmpty() && rest.front() >= QLatin1Char('0')
            && rest.front() <= QLatin1Char('9')) {
            return rest.contains(kError) || rest.contains(kWarning);
        }
    }
    return false;
}

QList<int> fileMessageLines(QStringView text) {
    QList<int> lines;
    qsizetype start = 0;
    // Only lines ended by a CR count, as outputLine finds only those.
    for (int current = 0;; ++current) {
        const qsizetype end = text.indexOf(QLatin1Char('\r'), start);
        if (end < 0) {
            return lines;
        }
        if (isFileMessage(text.sliced(start, end - start))) {
            lines.append(current);
        }
        start = end + 1;
        if (start < text.size() && text.at(start) == QLatin1Char('\n')) {
            ++start;
        }
    }
}

std::optional<int> messageCaretColumn(QStringView text, int messageLine) {
    // The source line and the caret line follow the message; "symbol:" and "location:" lines
    // may come after them. The next message or the exit line ends the search.
    constexpr int kMostLinesSearched = 8;
    for (int line = messageLine + 1; line <= messageLine + kMostLinesSearched; ++line) {
        const std::optional<QStringView> found = outputLine(text, line);
        if (!found || isFileMessage(*found) || found->startsWith(u"Exit code: ")) {
            return std::nullopt;
        }
        const QStringView caretLine = *found;
        const qsizetype caret = caretLine.indexOf(QLatin1Char('^'));
        if (caret >= 0 && caretLine.first(caret).trimmed().isEmpty()
            && caretLine.sliced(caret + 1).trimmed().isEmpty()) {
            return int(caret);
        }
    }
    return std::nullopt;
}

std::optional<int> adjacentMessageLine(const QList<int> &lines, int current, bool forward) {
    if (lines.isEmpty()) {
        return std::nullopt;
    }
    if (forward) {
        const auto next = std::upper_bound(lines.begin(), lines.end(), current);
        return next == lines.end() ? lines.front() : *next;
    }
    const auto notBefore = std::lower_bound(lines.begin(), lines.end(), current);
    return notBefore == lines.begin() ? lines.back() : *(notBefore - 1);
}

} // namespace jdk
