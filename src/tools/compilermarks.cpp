#include "tools/compilermarks.h"

#include <QRegularExpression>

#include <optional>
#include <utility>

namespace jdk {

namespace {

constexpr QLatin1StringView kSuffix(".java:");
constexpr QLatin1StringView kFileError(": error:");
constexpr QLatin1StringView kFileWarning(": warning:");

bool isDigit(QChar character) {
    return character >= QLatin1Char('0') && character <= QLatin1Char('9');
}

// The kind of a file message and its text from the kind on: the kind follows the line number
// of the first ".java:<number>" that one follows directly (a folder may hold ".java:9" too).
std::optional<std::pair<CompilerMessageKind, QStringView>> messageBody(QStringView line) {
    for (qsizetype found = line.indexOf(kSuffix); found >= 0;
         found = line.indexOf(kSuffix, found + 1)) {
        qsizetype end = found + kSuffix.size();
        while (end < line.size() && isDigit(line.at(end))) {
            ++end;
        }
        const QStringView rest = line.sliced(end);
        if (end == found + kSuffix.size()) {
            continue;
        }
        if (rest.startsWith(kFileError)) {
            return std::pair(CompilerMessageKind::Error, rest.sliced(2));
        }
        if (rest.startsWith(kFileWarning)) {
            return std::pair(CompilerMessageKind::Warning, rest.sliced(2));
        }
    }
    return std::nullopt;
}

// Whether a line ends the explanation of the message above it.
bool endsMessage(QStringView line) {
    static const QRegularExpression kCount(QStringLiteral("^\\d+ (?:error|warning)s?$"));
    return line.startsWith(QLatin1StringView("error:"))
           || line.startsWith(QLatin1StringView("warning:"))
           || line.startsWith(QLatin1StringView("Note:"))
           || line.startsWith(QLatin1StringView("Exit code: ")) || kCount.match(line).hasMatch()
           || isFileMessage(line);
}

QList<QStringView> outputLines(QStringView output) {
    QList<QStringView> lines;
    qsizetype start = 0;
    while (start < output.size()) {
        qsizetype end = start;
        while (end < output.size() && output.at(end) != QLatin1Char('\r')
               && output.at(end) != QLatin1Char('\n')) {
            ++end;
        }
        lines.append(output.sliced(start, end - start));
        if (end + 1 < output.size() && output.at(end) == QLatin1Char('\r')
            && output.at(end + 1) == QLatin1Char('\n')) {
            ++end;
        }
        start = end + 1;
    }
    return lines;
}

} // namespace

CompilerMarks compilerMarks(QStringView output, const QString &toolFolder) {
    // Every message in output order, with its file; the lines after a message explain it
    // while it is open.
    QList<std::pair<QString, CompilerMark>> messages;
    bool open = false;
    for (const QStringView line : outputLines(output)) {
        if (!endsMessage(line)) {
            if (open) {
                messages.last().second.text += QLatin1Char('\n');
                messages.last().second.text += line;
            }
            continue;
        }
        open = false;
        const std::optional<MessageLocation> location =
            isFileMessage(line) ? messageLocation(line, toolFolder) : std::nullopt;
        const auto body = messageBody(line);
        if (location && body) {
            messages.append(
                {location->path, {location->line, body->first, body->second.toString()}});
            open = true;
        }
    }
    CompilerMarks marks;
    for (auto &[path, mark] : messages) {
        // Blank lines at the end explain nothing.
        while (mark.text.endsWith(QLatin1Char('\n'))) {
            mark.text.chop(1);
        }
        marks[path].append(std::move(mark));
    }
    return marks;
}

} // namespace jdk
