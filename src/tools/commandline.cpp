#include "tools/commandline.h"

#include <QDir>

#include <algorithm>

namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kBackslash = u'\\';
constexpr QChar kPathSeparator = u'/';

bool isBlank(QChar character) {
    return character == u' ' || character == u'\t';
}

bool hasWildcard(const QString &text) {
    return text.contains(u'*') || text.contains(u'?');
}

CommandLineArgument splitProgramName(const QString &commandLine, qsizetype &position) {
    CommandLineArgument program;
    bool inQuotes = false;
    while (position < commandLine.size()) {
        const QChar character = commandLine[position];
        if (character == kQuote) {
            inQuotes = !inQuotes;
            program.quoted = true;
        } else if (!inQuotes && isBlank(character)) {
            break;
        } else {
            program.text += character;
        }
        ++position;
    }
    return program;
}

// One argument starting at position (not a blank); leaves position after it.
CommandLineArgument splitArgument(const QString &commandLine, qsizetype &position) {
    const qsizetype size = commandLine.size();
    const auto at = [&](qsizetype index) { return index < size ? commandLine[index] : QChar(); };
    CommandLineArgument argument;
    bool inQuotes = false;
    for (;;) {
        bool copyCharacter = true;
        qsizetype backslashes = 0;
        while (at(position) == kBackslash) {
            ++position;
            ++backslashes;
        }
        if (position < size && at(position) == kQuote) {
            if (backslashes % 2 == 0) {
                if (inQuotes && at(position + 1) == kQuote) {
                    ++position; // "" inside quotes: the second one is a literal quote
                } else {
                    copyCharacter = false;
                    inQuotes = !inQuotes;
                    argument.quoted = true;
                }
            }
            backslashes /= 2;
        }
        argument.text += QString(backslashes, kBackslash);
        if (position >= size || (!inQuotes && isBlank(at(position)))) {
            return argument;
        }
        if (copyCharacter) {
            argument.text += at(position);
        }
        ++position;
    }
}

QStringList matchingNames(const QString &pattern, const QString &workingFolder) {
    const qsizetype separator = pattern.lastIndexOf(kPathSeparator);
    const QString folderPart = pattern.left(separator + 1);
    const QString namePattern = pattern.mid(separator + 1);
    if (!hasWildcard(namePattern) || hasWildcard(folderPart)) {
        return {};
    }
    const QDir folder(
        QDir(workingFolder).filePath(folderPart.isEmpty() ? QStringLiteral(".") : folderPart));
    const bool matchHidden = namePattern.startsWith(u'.');
    QStringList names;
    const QStringList entries = folder.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString &name : entries) {
        if ((matchHidden || !name.startsWith(u'.')) && MatchesWildcard(name, namePattern)) {
            names.append(folderPart + name);
        }
    }
    std::sort(names.begin(), names.end());
    // A bare name that begins with '-' or '@' would reach the tool as an option or an options
    // file: it is given as a path in the working folder instead.
    for (QString &name : names) {
        if (name.startsWith(u'-') || name.startsWith(u'@')) {
            name.prepend(QStringLiteral("./"));
        }
    }
    return names;
}

} // namespace

QList<CommandLineArgument> SplitCommandLine(const QString &commandLine) {
    qsizetype position = 0;
    QList<CommandLineArgument> arguments{splitProgramName(commandLine, position)};
    for (;;) {
        while (position < commandLine.size() && isBlank(commandLine[position])) {
            ++position;
        }
        if (position >= commandLine.size()) {
            return arguments;
        }
        arguments.append(splitArgument(commandLine, position));
    }
}

bool MatchesWildcard(const QString &name, const QString &pattern) {
    // Greedy match that backtracks to the last '*' on a mismatch: linear in practice and
    // never worse than the product of both lengths.
    qsizetype nameIndex = 0;
    qsizetype patternIndex = 0;
    qsizetype starIndex = -1;
    qsizetype nameAfterStar = 0;
    while (nameIndex < name.size()) {
        if (patternIndex < pattern.size()
            && (pattern[patternIndex] == u'?' || pattern[patternIndex] == name[nameIndex])) {
            ++nameIndex;
            ++patternIndex;
        } else if (patternIndex < pattern.size() && pattern[patternIndex] == u'*') {
            starIndex = patternIndex++;
            nameAfterStar = nameIndex;
        } else if (starIndex >= 0) {
            patternIndex = starIndex + 1;
            nameIndex = ++nameAfterStar;
        } else {
            return false;
        }
    }
    while (patternIndex < pattern.size() && pattern[patternIndex] == u'*') {
        ++patternIndex;
    }
    return patternIndex == pattern.size();
}

QStringList ExpandArguments(const QList<CommandLineArgument> &arguments,
                            const QString &workingFolder) {
    QStringList expanded;
    for (qsizetype index = 0; index < arguments.size(); ++index) {
        const CommandLineArgument &argument = arguments[index];
        const bool isPattern = index > 0 && !argument.quoted && hasWildcard(argument.text);
        const QStringList names =
            isPattern ? matchingNames(argument.text, workingFolder) : QStringList();
        if (names.isEmpty()) {
            expanded.append(argument.text);
        } else {
            expanded.append(names);
        }
    }
    return expanded;
}
