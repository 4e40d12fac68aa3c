#pragma once

#include "tools/messagelocation.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringView>

namespace jdk {

// A compiler message about a line of a source file, as the window of that file marks the line.
struct CompilerMark {
    int line = 0; // 1-based, as the compiler writes it
    CompilerMessageKind kind = CompilerMessageKind::Error;
    // The message from its kind on ("error: ..."), with the lines that explain it (the source
    // line, the caret under it, "symbol:" and "location:"), joined by '\n'.
    QString text;

    friend bool operator==(const CompilerMark &, const CompilerMark &) = default;
};

// The marks of each file, keyed by the file's clean absolute path, in the order of the output.
using CompilerMarks = QMap<QString, QList<CompilerMark>>;

// The errors and warnings about places in source files in the captured output of a compiler
// run in toolFolder (line ends CR LF, a lone CR or LF). A message begins with a line that
// isFileMessage accepts and whose path messageLocation finds; the lines after it belong to it
// up to the next message, a message of the compiler itself ("error: ...", "warning: ...",
// "Note: ..."), the count of errors or warnings ("2 errors") or the exit line.
CompilerMarks compilerMarks(QStringView output, const QString &toolFolder);

} // namespace jdk
