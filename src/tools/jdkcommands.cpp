#include "tools/jdkcommands.h"

#include <QDir>

#include <algorithm>
#include <climits>

namespace jdk {

namespace {
const QChar kSeparator = QDir::separator();

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}
} // namespace

QString toolProgram(const QString &jdkFolder, const QString &tool)
{
    return jdkFolder + kSeparator + QStringLiteral("bin") + kSeparator + tool;
}

bool hasSeparator(const QString &path)
{
    return path.contains(kSeparator);
}

QString folderOf(const QString &path)
{
    const qsizetype last = path.lastIndexOf(kSeparator);
    return last < 0 ? QString() : path.left(last);
}

QString fileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(kSeparator) + 1);
}

ToolCommand compileCommand(const QString &jdkFolder, const QString &javacOptions,
                           const QString &path, const QString &fileName)
{
    QString commandLine = QStringLiteral("javac ") + fileName;
    if (!javacOptions.isEmpty()) {
        commandLine += QLatin1Char(' ') + javacOptions;
    }
    return {toolProgram(jdkFolder, QStringLiteral("javac")), commandLine, folderOf(path)};
}

ToolCommand runCommand(const QString &jdkFolder, const QString &mainFilePath,
                       const QString &mainFile, const QString &package)
{
    const qsizetype dot = mainFile.lastIndexOf(QLatin1Char('.'));
    const QString className = dot < 0 ? mainFile : mainFile.left(dot);
    QString commandLine = QStringLiteral("java ");
    if (!package.isEmpty()) {
        commandLine += package + QLatin1Char('.');
    }
    commandLine += className;
    return {toolProgram(jdkFolder, QStringLiteral("java")), commandLine, folderOf(mainFilePath)};
}

ToolCommand appletCommand(const QString &jdkFolder, const QString &htmlPath,
                          const QString &htmlFile)
{
    return {toolProgram(jdkFolder, QStringLiteral("appletviewer")),
            QStringLiteral("appletviewer ") + htmlFile, folderOf(htmlPath)};
}

ToolCommand jarCommand(const QString &jdkFolder, const QString &manifestPath,
                       const QString &jarPath, const QString &mainFolder)
{
    return {toolProgram(jdkFolder, QStringLiteral("jar")),
            QStringLiteral("jar cmfv ") + quoted(manifestPath) + QLatin1Char(' ') + quoted(jarPath)
                + QStringLiteral(" *.class"),
            mainFolder};
}

ToolCommand archiveListCommand(const QString &jdkFolder, const QString &jarPath)
{
    return {toolProgram(jdkFolder, QStringLiteral("jar")),
            QStringLiteral("jar tvf ") + fileNameOf(jarPath), folderOf(jarPath)};
}

QString jarClassName(const QString &mainFile)
{
    QString name = mainFile;
    return name.remove(QStringLiteral(".java"));
}

QString manifestText(const QString &className)
{
    return QStringLiteral("Main-Class: ") + className + QStringLiteral("\r\n");
}

int atoiPrefix(QStringView text)
{
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
        value = std::min<long long>(value * 10 + (text.at(position).unicode() - '0'),
                                    2147483648LL);
        ++position;
    }
    const long long signedValue = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(signedValue, INT_MIN, INT_MAX));
}

} // namespace jdk
