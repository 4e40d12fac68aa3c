#include "tools/jdkcommands.h"

#include <QDir>

#include <algorithm>
#include <climits>

namespace jdk {

namespace {
// A function rather than a constant: the commands may be composed while other files' statics
// are initialised.
QChar separator() {
    return QDir::separator();
}

bool isLineEnd(QChar character) {
    return character == QLatin1Char('\r');
}
} // namespace

QString toolProgram(const QString &jdkFolder, const QString &tool) {
    return jdkFolder + separator() + QStringLiteral("bin") + separator() + tool;
}

bool hasSeparator(const QString &path) {
    return path.contains(separator());
}

QString folderOf(const QString &path) {
    const qsizetype last = path.lastIndexOf(separator());
    return last < 0 ? QString() : path.left(last);
}

QString fileNameOf(const QString &path) {
    return path.mid(path.lastIndexOf(separator()) + 1);
}

QString argumentFor(const QString &text) {
    static const QString needQuotes = QStringLiteral(" \t\"*?");
    const bool bare = std::none_of(text.begin(), text.end(),
                                   [](QChar character) { return needQuotes.contains(character); });
    return bare ? text : quotedArgument(text);
}

QString toolName(const QString &name) {
    const bool readAsOption =
        name.startsWith(QLatin1Char('-')) || name.startsWith(QLatin1Char('@'));
    return readAsOption ? QStringLiteral("./") + name : name;
}

QString quotedArgument(const QString &text) {
    QString result = QStringLiteral("\"");
    qsizetype backslashes = 0;
    for (const QChar character : text) {
        if (character == QLatin1Char('\\')) {
            ++backslashes;
            continue;
        }
        // Backslashes are literal unless a quote follows them: then each one is doubled and
        // the quote itself escaped.
        const bool quote = character == QLatin1Char('"');
        result += QString(quote ? 2 * backslashes + 1 : backslashes, QLatin1Char('\\'));
        result += character;
        backslashes = 0;
    }
    // The closing quote follows, so trailing backslashes are doubled too.
    result += QString(2 * backslashes, QLatin1Char('\\'));
    return result + QLatin1Char('"');
}

ToolCommand compileCommand(const QString &jdkFolder, const QString &javacOptions,
                           const QString &path, const QString &fileName) {
    QString commandLine = QStringLiteral("javac ") + argumentFor(toolName(fileName));
    if (!javacOptions.isEmpty()) {
        commandLine += QLatin1Char(' ') + javacOptions;
    }
    return {toolProgram(jdkFolder, QStringLiteral("javac")), commandLine, folderOf(path)};
}

ToolCommand runCommand(const QString &jdkFolder, const QString &mainFilePath,
                       const QString &mainFile, const QString &package) {
    const qsizetype dot = mainFile.lastIndexOf(QLatin1Char('.'));
    const QString className = dot < 0 ? mainFile : mainFile.left(dot);
    // The package and the class come from the project file: whatever they hold, they make one
    // argument, which java never takes for an option.
    const QString mainClass =
        package.isEmpty() ? className : package + QLatin1Char('.') + className;
    const QString commandLine = QStringLiteral("java ") + argumentFor(toolName(mainClass));
    return {toolProgram(jdkFolder, QStringLiteral("java")), commandLine, folderOf(mainFilePath)};
}

ToolCommand appletCommand(const QString &jdkFolder, const QString &htmlPath,
                          const QString &htmlFile) {
    return {toolProgram(jdkFolder, QStringLiteral("appletviewer")),
            QStringLiteral("appletviewer ") + argumentFor(toolName(htmlFile)), folderOf(htmlPath)};
}

ToolCommand jarCommand(const QString &jdkFolder, const QString &manifestPath,
                       const QString &jarPath, const QString &mainFolder) {
    return {toolProgram(jdkFolder, QStringLiteral("jar")),
            QStringLiteral("jar cmfv ") + quotedArgument(toolName(manifestPath)) + QLatin1Char(' ')
                + quotedArgument(toolName(jarPath)) + QStringLiteral(" *.class"),
            mainFolder};
}

ToolCommand archiveListCommand(const QString &jdkFolder, const QString &jarPath) {
    return {toolProgram(jdkFolder, QStringLiteral("jar")),
            QStringLiteral("jar tvf ") + argumentFor(toolName(fileNameOf(jarPath))),
            folderOf(jarPath)};
}

QString jarClassName(const QString &mainFile) {
    QString name = mainFile;
    return name.remove(QStringLiteral(".java"));
}

QString manifestText(const QString &className) {
    return QStringLiteral("Main-Class: ") + className + QStringLiteral("\r\n");
}

int atoiPrefix(QStringView text) {
    qsizetype position = 0;
    const auto isSpace = [](QChar c) {
        return c == QLatin1Char(' ') || (c.unicode() >= 9 && c.unicode() <= 13);
    };
    while (position < text.size() && isSpace(text.at(position))) {
        ++position;
    }
    bool negative = false;
    if (position < text.size()
        && (text.at(position) == QLatin1Char('+') || text.at(position) == QLatin1Char('-'))) {
        negative = text.at(position) == QLatin1Char('-');
        ++position;
    }
    long long value = 0;
    while (position < text.size() && text.at(position) >= QLatin1Char('0')
           && text.at(position) <= QLatin1Char('9')) {
        // Saturate rather than overflow: a line number that long names no line anyway.
        value = std::min<long long>(value * 10 + (text.at(position).unicode() - '0'), 2147483648LL);
        ++position;
    }
    const long long signedValue = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(signedValue, INT_MIN, INT_MAX));
}

std::optional<QStringView> outputLine(QStringView text, int line) {
    if (line < 0) {
        return std::nullopt;
    }
    qsizetype start = 0;
    for (int current = 0;; ++current) {
        const auto end = std::find_if(text.begin() + start, text.end(), isLineEnd) - text.begin();
        if (end == text.size()) {
            return std::nullopt;
        }
        if (current == line) {
            return text.sliced(start, end - start);
        }
        // The next line begins after the CR and the LF that pairs with it; a lone CR is a line
        // end of its own, so the character after it is not skipped.
        start = end + 1;
        if (start < text.size() && text.at(start) == QLatin1Char('\n')) {
            ++start;
        }
    }
}

int messageLineNumber(QStringView line, QStringView fileName) {
    const qsizetype found = line.indexOf(fileName);
    if (found < 0) {
        return 0;
    }
    const qsizetype numberStart = found + fileName.size() + 1;
    return numberStart >= line.size() ? 0 : atoiPrefix(line.sliced(numberStart));
}

} // namespace jdk
