#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// The kind of a line of compiler output: javac's error lines ("File.java:12: error: ...",
// "error: ...") and warning lines ("File.java:3: warning: ...", "warning: [options] ...").
enum class CompilerMessageKind { None, Error, Warning };

CompilerMessageKind compilerMessageKind(QStringView line);

namespace jdk {

// A place in a source file that a compiler message names.
struct MessageLocation {
    QString path; // absolute and clean
    int line = 0; // 1-based, as the compiler writes it
};

// The file and line that a compiler message line begins with, as javac writes them:
// "dir/Name.java:12: error: ...". The path is taken as written when it is absolute, otherwise
// relative to toolFolder, the folder the compiler ran in (the current folder when empty), and
// must name an existing file. None when the line does not begin with such a path followed by
// a colon and a number.
std::optional<MessageLocation> messageLocation(QStringView line, const QString &toolFolder);

// Whether a line of output is a compiler message about a place in a source file: the path of a
// ".java" file, a colon, a line number, then ": error:" or ": warning:".
bool isFileMessage(QStringView line);

// The lines of captured tool output (0-based, counted as outputLine counts them) that are
// messages about a place in a source file, in order.
QList<int> fileMessageLines(QStringView text);

// The 0-based column in the source line that javac's caret line ("    ^") under the message
// on output line `messageLine` points at: the caret's index, since javac copies the source
// line's tabs into the caret line. None when the lines up to the next message hold no caret.
std::optional<int> messageCaretColumn(QStringView text, int messageLine);

// The first of the ascending message `lines` after line `current` (forward) or the last before
// it, going round at either end (-1 for no current line). None when there are no lines.
std::optional<int> adjacentMessageLine(const QList<int> &lines, int current, bool forward);

} // namespace jdk
