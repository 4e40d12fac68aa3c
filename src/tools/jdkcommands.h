#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The command lines of the JDK tools, composed exactly as the tool commands run them, and the
// reading of compiler messages that leads back to a source line. Pure functions: the commands
// check their preconditions, call these, and hand the result to the process runner or to a
// console.
//
// A tool is the program jdkFolder/bin/<tool>; its command line begins with the bare tool name.
// The folder of a path is the text before its last separator ("" when it has none); each
// command runs its tool in a folder it computes. Command lines are split with the Windows
// runtime's rules, so a name or field that holds a blank, a quote or a wildcard is put in quotes
// and reaches the tool as one argument; any other stands bare. A name that begins with '-' or
// '@' is given as ./name, so that no tool reads it as an option or an options file.
namespace jdk {

struct ToolCommand {
    QString program;
    QString commandLine;
    QString folder;
};

QString toolProgram(const QString &jdkFolder, const QString &tool);
bool hasSeparator(const QString &path);
QString folderOf(const QString &path);
QString fileNameOf(const QString &path);
// text as one command-line argument: bare when it splits as one and expands to nothing,
// otherwise quoted.
QString argumentFor(const QString &text);
// name as a tool takes it as a file or class: ./name when it begins with '-' or '@', else as it
// is.
QString toolName(const QString &name);
// text in quotes, with the escapes that keep a quote or a trailing backslash inside it.
QString quotedArgument(const QString &text);

// javac FILE [options], in the file's folder. path is the file's full path, fileName the name
// the project holds for it.
ToolCommand compileCommand(const QString &jdkFolder, const QString &javacOptions,
                           const QString &path, const QString &fileName);
// java [package.]Class, in the main file's folder: the class is the main file's name up to its
// last '.'.
ToolCommand runCommand(const QString &jdkFolder, const QString &mainFilePath,
                       const QString &mainFile, const QString &package);
// appletviewer PAGE, in the page's folder.
ToolCommand appletCommand(const QString &jdkFolder, const QString &htmlPath,
                          const QString &htmlFile);
// jar cmfv "MANIFEST" "JAR" *.class, in the main file's folder.
ToolCommand jarCommand(const QString &jdkFolder, const QString &manifestPath,
                       const QString &jarPath, const QString &mainFolder);
// jar tvf NAME, in the archive's folder.
ToolCommand archiveListCommand(const QString &jdkFolder, const QString &jarPath);

// The main file's name with every ".java" taken out: the Main-Class of a jar.
QString jarClassName(const QString &mainFile);
// The one line of a jar's manifest.txt, ended by CR LF.
QString manifestText(const QString &className);

// Reads a decimal number as the C library's atoi does: leading white space, an optional sign,
// the digits up to the first other character; 0 when there are none.
int atoiPrefix(QStringView text);

// Line `line` (0-based) of captured tool output, whose lines end at a CR (a CR LF counts as one
// line end). None when that line has no CR after it, as the last line of the output has.
std::optional<QStringView> outputLine(QStringView text, int line);
// The number a compiler message gives after a file name: read as atoiPrefix reads it, from one
// character past the end of the name's first occurrence in the line, which skips the colon of
// "Foo.java:12: error". 0 when the name ends the line.
int messageLineNumber(QStringView line, QStringView fileName);

} // namespace jdk
