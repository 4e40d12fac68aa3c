#include "tools/javapackage.h"

#include "framework/fileio.h"

#include <QDir>

#include <algorithm>

namespace jdk {

namespace {

QChar separator() {
    return QDir::separator();
}

bool isIdentifierStart(QChar character) {
    return character.isLetter() || character == QLatin1Char('_') || character == QLatin1Char('$');
}

bool isIdentifierPart(QChar character) {
    return character.isLetterOrNumber() || character == QLatin1Char('_')
           || character == QLatin1Char('$');
}

// Reads a Java text token by token as far as finding a package statement needs: blanks,
// comments and literals are stepped over whole.
class JavaReader {
public:
    explicit JavaReader(QStringView text)
        : m_text(text) {}

    bool atEnd() const { return m_position >= m_text.size(); }
    QChar current() const { return m_text.at(m_position); }

    void skipBlanksAndComments() {
        while (!atEnd()) {
            if (current().isSpace()) {
                ++m_position;
            } else if (startsWith(u"//")) {
                skipTo(u"\n");
            } else if (startsWith(u"/*")) {
                m_position += 2;
                skipTo(u"*/");
            } else {
                return;
            }
        }
    }

    // The identifier at the position, read past; empty when none starts there.
    QStringView readIdentifier() {
        if (atEnd() || !isIdentifierStart(current())) {
            return {};
        }
        const qsizetype start = m_position;
        while (!atEnd() && isIdentifierPart(current())) {
            ++m_position;
        }
        return m_text.sliced(start, m_position - start);
    }

    // Steps over the character at the position, or the whole literal that starts there.
    void skipOther() {
        if (startsWith(u"\"\"\"")) {
            m_position += 3;
            skipLiteralTo(u"\"\"\"");
        } else if (current() == QLatin1Char('"') || current() == QLatin1Char('\'')) {
            const QChar quote = current();
            ++m_position;
            skipLiteralTo(QStringView(&quote, 1), true);
        } else {
            ++m_position;
        }
    }

    bool take(QChar character) {
        if (atEnd() || current() != character) {
            return false;
        }
        ++m_position;
        return true;
    }

private:
    bool startsWith(QStringView needle) const {
        return m_text.sliced(m_position).startsWith(needle);
    }

    // Moves past the next end, or to the end of the text when there is none.
    void skipTo(QStringView end) {
        const qsizetype found = m_text.indexOf(end, m_position);
        m_position = found < 0 ? m_text.size() : found + end.size();
    }

    // Moves past the literal's closing quote; a backslash escapes the character after it. A
    // one-line literal also ends at the line's end, so an unclosed one hides nothing beyond.
    void skipLiteralTo(QStringView end, bool endsWithLine = false) {
        while (!atEnd()) {
            if (current() == QLatin1Char('\\')) {
                m_position += 2;
            } else if (startsWith(end)) {
                m_position += end.size();
                return;
            } else if (endsWithLine && current() == QLatin1Char('\n')) {
                return;
            } else {
                ++m_position;
            }
        }
    }

    QStringView m_text;
    qsizetype m_position = 0;
};

// The dotted name and the ';' after "package"; empty when they are not well formed.
QString readPackageName(JavaReader &reader) {
    QStringList parts;
    for (;;) {
        reader.skipBlanksAndComments();
        const QStringView part = reader.readIdentifier();
        if (part.isEmpty()) {
            return {};
        }
        parts << part.toString();
        reader.skipBlanksAndComments();
        if (reader.take(QLatin1Char(';'))) {
            return parts.join(QLatin1Char('.'));
        }
        if (!reader.take(QLatin1Char('.'))) {
            return {};
        }
    }
}

} // namespace

QString declaredPackage(QStringView source) {
    JavaReader reader(source);
    for (;;) {
        reader.skipBlanksAndComments();
        if (reader.atEnd()) {
            return {};
        }
        const QStringView word = reader.readIdentifier();
        if (word == u"package") {
            return readPackageName(reader);
        }
        if (word.isEmpty()) {
            reader.skipOther();
        }
    }
}

QString declaredPublicClass(QStringView source) {
    static const QStringList kTypeWords{QStringLiteral("class"), QStringLiteral("interface"),
                                        QStringLiteral("enum"), QStringLiteral("record")};
    // "non-sealed" reads as "non", '-', "sealed".
    static const QStringList kModifiers{QStringLiteral("abstract"), QStringLiteral("final"),
                                        QStringLiteral("static"),   QStringLiteral("strictfp"),
                                        QStringLiteral("sealed"),   QStringLiteral("non")};
    JavaReader reader(source);
    int depth = 0;
    bool isPublic = false;
    for (;;) {
        reader.skipBlanksAndComments();
        if (reader.atEnd()) {
            return {};
        }
        const QStringView word = reader.readIdentifier();
        if (word.isEmpty()) {
            const QChar character = reader.current();
            if (character == QLatin1Char('{')) {
                ++depth;
            } else if (character == QLatin1Char('}')) {
                depth = std::max(0, depth - 1);
            }
            // An annotation keeps the modifiers around it; "non-sealed" is one modifier.
            if (character != QLatin1Char('@') && character != QLatin1Char('-')) {
                isPublic = false;
            }
            reader.skipOther();
            if (character == QLatin1Char('@')) {
                reader.skipBlanksAndComments();
                const QStringView annotation = reader.readIdentifier();
                if (annotation == u"interface" && depth == 0 && isPublic) {
                    reader.skipBlanksAndComments();
                    return reader.readIdentifier().toString();
                }
            }
            continue;
        }
        if (depth > 0) {
            continue;
        }
        if (word == u"public") {
            isPublic = true;
        } else if (isPublic && kTypeWords.contains(word)) {
            reader.skipBlanksAndComments();
            return reader.readIdentifier().toString();
        } else if (!kModifiers.contains(word)) {
            isPublic = false;
        }
    }
}

std::optional<PackageLayout> packageLayout(const QString &filePath, const QString &package) {
    if (package.isEmpty()) {
        return std::nullopt;
    }
    const QString folders = QString(package).replace(QLatin1Char('.'), separator());
    const QString folder = folderOf(filePath);
    const QString ending = separator() + folders;
    if (!folder.endsWith(ending) || folder.size() == ending.size()) {
        return std::nullopt;
    }
    const QString root = folder.left(folder.size() - ending.size());
    return PackageLayout{package, root, filePath.mid(root.size() + 1)};
}

QString qualifiedName(const QString &package, const QString &name) {
    return package.isEmpty() ? name : package + QLatin1Char('.') + name;
}

ToolCommand packageCompileCommand(const QString &jdkFolder, const QString &javacOptions,
                                  const PackageLayout &layout) {
    QString commandLine = QStringLiteral("javac ");
    const bool ownSourcePath = javacOptions.contains(QStringLiteral("-sourcepath"))
                               || javacOptions.contains(QStringLiteral("--source-path"));
    if (!ownSourcePath) {
        commandLine += QStringLiteral("-sourcepath . ");
    }
    commandLine += argumentFor(layout.relativePath);
    if (!javacOptions.isEmpty()) {
        commandLine += QLatin1Char(' ') + javacOptions;
    }
    return {toolProgram(jdkFolder, QStringLiteral("javac")), commandLine, layout.root};
}

ToolCommand packageRunCommand(const QString &jdkFolder, const PackageLayout &layout,
                              const QString &qualifiedClass) {
    // The package comes from the project file: whatever it holds, the class makes one argument,
    // which java never takes for an option, exactly as in the one-folder command.
    return {toolProgram(jdkFolder, QStringLiteral("java")),
            QStringLiteral("java ") + argumentFor(toolName(qualifiedClass)), layout.root};
}

ToolCommand packageJarCommand(const QString &jdkFolder, const QString &manifestPath,
                              const QString &jarPath, const PackageLayout &layout,
                              const QStringList &packageFolders) {
    QString commandLine = QStringLiteral("jar cmfv ") + quotedArgument(manifestPath)
                          + QLatin1Char(' ') + quotedArgument(jarPath);
    // With nothing compiled yet the main file's own folder is named, and the tool says that
    // it holds no class files.
    const QStringList folders =
        packageFolders.isEmpty() ? QStringList{folderOf(layout.relativePath)} : packageFolders;
    for (const QString &folder : folders) {
        // Left bare so that the tool expands the wildcard; package folders hold no blanks.
        commandLine += QLatin1Char(' ') + folder + separator() + QStringLiteral("*.class");
    }
    return {toolProgram(jdkFolder, QStringLiteral("jar")), commandLine, layout.root};
}

std::optional<PackageLayout> readPackageLayout(const QString &filePath) {
    // Only a regular file is read: a pipe named in a project would never end.
    QByteArray bytes;
    QString error;
    if (!fw::readWholeFile(filePath, &bytes, &error)) {
        return std::nullopt;
    }
    return packageLayout(filePath, declaredPackage(QString::fromUtf8(bytes)));
}

QStringList projectClassFolders(const QString &root, const QStringList &sourcePaths) {
    QStringList folders;
    for (const QString &path : sourcePaths) {
        const std::optional<PackageLayout> layout = readPackageLayout(path);
        if (!layout || layout->root != root) {
            continue;
        }
        const QString folder = folderOf(layout->relativePath);
        if (!folders.contains(folder)
            && !QDir(root + separator() + folder)
                    .entryList({QStringLiteral("*.class")}, QDir::Files | QDir::Hidden)
                    .isEmpty()) {
            folders << folder;
        }
    }
    folders.sort();
    return folders;
}

ToolCommand compileCommandFor(const QString &jdkFolder, const QString &javacOptions,
                              const QString &path, const QString &fileName) {
    if (const std::optional<PackageLayout> layout = readPackageLayout(path)) {
        return packageCompileCommand(jdkFolder, javacOptions, *layout);
    }
    return compileCommand(jdkFolder, javacOptions, path, fileName);
}

ToolCommand runCommandFor(const QString &jdkFolder, const QString &mainFilePath,
                          const QString &mainFile, const QString &package) {
    const std::optional<PackageLayout> layout = readPackageLayout(mainFilePath);
    if (!layout) {
        return runCommand(jdkFolder, mainFilePath, mainFile, package);
    }
    const qsizetype dot = mainFile.lastIndexOf(QLatin1Char('.'));
    const QString className = dot < 0 ? mainFile : mainFile.left(dot);
    return packageRunCommand(
        jdkFolder, *layout,
        qualifiedName(package.isEmpty() ? layout->package : package, className));
}

} // namespace jdk
