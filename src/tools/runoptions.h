#pragma once

#include "tools/jdkcommands.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// What a project adds to the command lines of its tools: the libraries on the class path, and
// for runs the program's arguments, a file for its standard input, options for the Java VM and
// the folder it runs in. Everything goes into the composed command line itself (and the folder
// of the ToolCommand), so that whoever runs the command runs exactly what the user is shown.
namespace jdk {

struct RunOptions {
    QString arguments;     // as typed; split as a shell splits
    QString inputFile;     // full path; empty: the program reads what is typed in the output window
    QString vmOptions;     // as typed; split as a shell splits
    QString workingFolder; // full path; empty: the folder the run is composed for
    QStringList libraries; // full paths of jar files and class folders, in class-path order
};

// One word of a shell command line, and whether it holds a wildcard outside quotes (a shell
// would expand it against the working folder).
struct ShellWord {
    QString text;
    bool expandable = false;
};

// Splits text into words as a POSIX shell does: blanks separate words; within '...' every
// character stands for itself; within "..." a backslash keeps only $ ` " \ and a line break
// from their meaning; outside quotes a backslash keeps the next character as it is. Quoting
// groups ("a b" is one word) and the quotes themselves are taken away. No variable, command or
// tilde expansion takes place. None, with *error set, when a quote is left open.
std::optional<QList<ShellWord>> splitShellWords(QStringView text, QString *error = nullptr);

// The words as command-line arguments, joined by spaces: each reaches the program as one
// argument, and a wildcard is left for the runner to expand only where the shell would have.
QString commandLineWords(const QList<ShellWord> &words);

// The class path of libraries followed by own (the current folder, the package root or the
// class folder), joined by the platform's separator.
QString classPath(const QStringList &libraries, const QString &own);

// Whether options (javac's) name a class path of their own, which then wins.
bool namesClassPath(const QString &options);

// A javac command with "-cp LIBRARIES:." before its first argument, so that the libraries are
// found beside the classes of the folder it compiles in; unchanged without libraries or when
// its options name a class path of their own.
ToolCommand withClassPath(const ToolCommand &javac, const QStringList &libraries);

// A java command "java CLASS" with the run options: "java VMOPTIONS [-cp PATH] CLASS
// ARGUMENTS", run in the working folder when one is set. The class path holds the libraries and
// the folder the classes are in ("." when the run stays in it); with neither libraries nor
// another working folder none is given. The run options must split (see runOptionsError).
ToolCommand withRunOptions(const ToolCommand &java, const RunOptions &options);

// What is wrong with the options for a run, for the user; empty when nothing is.
QString runOptionsError(const RunOptions &options);

// The entries of a jar's Class-Path for libraries, relative to the jar's folder: folders end
// with '/', and characters that a URL cannot hold are escaped.
QStringList manifestClassPath(const QStringList &libraries, const QString &jarFolder);

// A manifest with the Main-Class line and, when entries are given, the Class-Path line, each
// ended by CR LF, split into continuation lines so that no line holds more than 72 bytes.
QString manifestText(const QString &className, const QStringList &classPath);

// What keeps the class from being a jar's Main-Class, for the user; empty when nothing does. A
// line break in it would end the header and let the rest add headers of its own (a Class-Path,
// say), so a class that holds one is refused rather than written.
QString mainClassManifestError(const QString &className);

} // namespace jdk
