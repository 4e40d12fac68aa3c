#include "tools/runoptions.h"

#include <QDir>

#include <QFileInfo>
#include <QUrl>
#include <algorithm>

namespace jdk {

namespace {

constexpr int kManifestLineBytes = 72;

bool isBlank(QChar character) {
    return character == QLatin1Char(' ') || character == QLatin1Char('\t')
           || character == QLatin1Char('\n') || character == QLatin1Char('\r');
}

bool isWildcard(QChar character) {
    return character == QLatin1Char('*') || character == QLatin1Char('?');
}

// The command line of a tool without its first word: what follows "javac " or "java ".
QString afterToolName(const QString &commandLine) {
    const qsizetype space = commandLine.indexOf(QLatin1Char(' '));
    return space < 0 ? QString() : commandLine.mid(space + 1);
}

// Splits a header line into manifest lines of at most 72 bytes, the later ones starting with
// the space that marks a continuation; characters are never cut.
QString wrappedManifestLine(const QString &line) {
    QString wrapped;
    int bytes = 0;
    for (qsizetype index = 0; index < line.size();) {
        const qsizetype length =
            line.at(index).isHighSurrogate() && index + 1 < line.size() ? 2 : 1;
        const int size = static_cast<int>(line.mid(index, length).toUtf8().size());
        if (bytes + size > kManifestLineBytes) {
            wrapped += QStringLiteral("\r\n ");
            bytes = 1;
        }
        wrapped += line.mid(index, length);
        bytes += size;
        index += length;
    }
    return wrapped + QStringLiteral("\r\n");
}

} // namespace

std::optional<QList<ShellWord>> splitShellWords(QStringView text, QString *error) {
    QList<ShellWord> words;
    std::optional<ShellWord> word;
    const auto current = [&word]() -> ShellWord & {
        if (!word) {
            word = ShellWord{};
        }
        return *word;
    };
    for (qsizetype index = 0; index < text.size(); ++index) {
        const QChar character = text.at(index);
        if (isBlank(character)) {
            if (word) {
                words << *std::exchange(word, std::nullopt);
            }
        } else if (character == QLatin1Char('\'')) {
            const qsizetype end = text.indexOf(QLatin1Char('\''), index + 1);
            if (end < 0) {
                if (error) {
                    *error = QStringLiteral("A ' is not closed.");
                }
                return std::nullopt;
            }
            current().text += text.sliced(index + 1, end - index - 1);
            index = end;
        } else if (character == QLatin1Char('"')) {
            ShellWord &quoted = current();
            for (++index;; ++index) {
                if (index >= text.size()) {
                    if (error) {
                        *error = QStringLiteral("A \" is not closed.");
                    }
                    return std::nullopt;
                }
                const QChar inner = text.at(index);
                if (inner == QLatin1Char('"')) {
                    break;
                }
                if (inner == QLatin1Char('\\') && index + 1 < text.size()
                    && QStringView(u"$`\"\\\n").contains(text.at(index + 1))) {
                    ++index;
                    if (text.at(index) != QLatin1Char('\n')) {
                        quoted.text += text.at(index);
                    }
                    continue;
                }
                quoted.text += inner;
            }
        } else if (character == QLatin1Char('\\')) {
            if (index + 1 < text.size()) {
                ++index;
                if (text.at(index) != QLatin1Char('\n')) {
                    current().text += text.at(index);
                }
            }
        } else {
            ShellWord &plain = current();
            plain.text += character;
            plain.expandable = plain.expandable || isWildcard(character);
        }
    }
    if (word) {
        words << *word;
    }
    return words;
}

QString commandLineWords(const QList<ShellWord> &words) {
    QStringList arguments;
    for (const ShellWord &word : words) {
        const bool plainPattern =
            word.expandable
            && std::none_of(word.text.begin(), word.text.end(), [](QChar character) {
                   return isBlank(character) || character == QLatin1Char('"');
               });
        // An empty word is an argument too: it takes quotes to stand on a command line.
        arguments << (plainPattern          ? word.text
                      : word.text.isEmpty() ? QStringLiteral("\"\"")
                                            : argumentFor(word.text));
    }
    return arguments.join(QLatin1Char(' '));
}

QString classPath(const QStringList &libraries, const QString &own) {
    QStringList entries = libraries;
    if (!own.isEmpty()) {
        entries << own;
    }
    return entries.join(QDir::listSeparator());
}

bool namesClassPath(const QString &options) {
    const std::optional<QList<ShellWord>> words = splitShellWords(options);
    if (!words) {
        return false;
    }
    return std::any_of(words->begin(), words->end(), [](const ShellWord &word) {
        return word.text == QLatin1String("-cp") || word.text == QLatin1String("-classpath")
               || word.text == QLatin1String("--class-path")
               || word.text.startsWith(QLatin1String("--class-path="));
    });
}

ToolCommand withClassPath(const ToolCommand &javac, const QStringList &libraries) {
    const QString rest = afterToolName(javac.commandLine);
    if (libraries.isEmpty() || namesClassPath(rest)) {
        return javac;
    }
    ToolCommand command = javac;
    command.commandLine = QStringLiteral("javac -cp ")
                          + argumentFor(classPath(libraries, QStringLiteral(".")))
                          + QLatin1Char(' ') + rest;
    return command;
}

ToolCommand withRunOptions(const ToolCommand &java, const RunOptions &options) {
    const QString mainClass = afterToolName(java.commandLine);
    ToolCommand command = java;
    QStringList parts{QStringLiteral("java")};
    if (const auto vmOptions = splitShellWords(options.vmOptions);
        vmOptions && !vmOptions->isEmpty()) {
        parts << commandLineWords(*vmOptions);
    }
    const QString workingFolder =
        options.workingFolder.isEmpty() ? java.folder : QDir::cleanPath(options.workingFolder);
    const bool elsewhere = QDir::cleanPath(java.folder) != workingFolder;
    if (!options.libraries.isEmpty() || elsewhere) {
        // The classes stay where they were compiled: from another folder they are named whole.
        const QString own = elsewhere ? QDir::cleanPath(java.folder) : QStringLiteral(".");
        parts << QStringLiteral("-cp") << argumentFor(classPath(options.libraries, own));
    }
    parts << mainClass;
    if (const auto arguments = splitShellWords(options.arguments);
        arguments && !arguments->isEmpty()) {
        parts << commandLineWords(*arguments);
    }
    command.commandLine = parts.join(QLatin1Char(' '));
    command.folder = workingFolder;
    return command;
}

QString runOptionsError(const RunOptions &options) {
    QString error;
    if (!splitShellWords(options.arguments, &error)) {
        return QStringLiteral("The program arguments cannot be read: %1").arg(error);
    }
    if (!splitShellWords(options.vmOptions, &error)) {
        return QStringLiteral("The VM options cannot be read: %1").arg(error);
    }
    if (!options.inputFile.isEmpty() && !QFileInfo(options.inputFile).isFile()) {
        return QStringLiteral("The file for standard input, %1, does not exist.")
            .arg(options.inputFile);
    }
    if (!options.workingFolder.isEmpty() && !QFileInfo(options.workingFolder).isDir()) {
        return QStringLiteral("The working folder %1 does not exist.").arg(options.workingFolder);
    }
    return {};
}

QStringList manifestClassPath(const QStringList &libraries, const QString &jarFolder) {
    QStringList entries;
    const QDir folder(jarFolder);
    for (const QString &library : libraries) {
        QString relative = folder.relativeFilePath(library);
        if (QFileInfo(library).isDir() && !relative.endsWith(QLatin1Char('/'))) {
            relative += QLatin1Char('/');
        }
        entries << QString::fromLatin1(QUrl::toPercentEncoding(relative, "/"));
    }
    return entries;
}

QString manifestText(const QString &className, const QStringList &classPath) {
    QString text = wrappedManifestLine(QStringLiteral("Main-Class: ") + className);
    if (!classPath.isEmpty()) {
        text +=
            wrappedManifestLine(QStringLiteral("Class-Path: ") + classPath.join(QLatin1Char(' ')));
    }
    return text;
}

QString mainClassManifestError(const QString &className) {
    // The line ends a manifest knows, and the NUL that no manifest may hold.
    static const QString kBreaks = QStringLiteral("\r\n") + QChar(0);
    if (std::none_of(className.begin(), className.end(),
                     [](QChar character) { return kBreaks.contains(character); })) {
        return {};
    }
    QString shown = className;
    shown.replace(QLatin1Char('\r'), QStringLiteral("\\r"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
        .replace(QChar(0), QStringLiteral("\\0"));
    return QStringLiteral(
               "The main class \"%1\" holds a line break, which a jar's manifest "
               "cannot hold.\nCorrect the project's package (Project > Properties...) or "
               "the name of its main file.")
        .arg(shown);
}

} // namespace jdk
