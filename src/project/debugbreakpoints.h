#pragma once

#include "javaservice/debugsession.h"

#include <QList>
#include <QString>

// The way between Tarvo's files and the debugger's names for them: a source file is known to
// the program's classes by the folders of its package and its file name.
namespace debugging {

// "shapes/Circle.java" for a file that declares package shapes; the file name alone for a
// file in no package. The package is read from text, or from the file when text is null.
QString sourcePathOf(const QString &filePath, const QString &text = QString());

// The breakpoints of a file (1-based lines) as the debugger takes them.
QList<javaservice::DebugBreakpoint> breakpointsOf(const QString &filePath, const QList<int> &lines);

// Every breakpoint of the application's BreakpointStore.
QList<javaservice::DebugBreakpoint> allBreakpoints();

// Whether a class file holds the names of local variables (it was compiled with -g): without
// them the debugger shows no local variables.
bool hasVariableNames(const QString &classFilePath);

} // namespace debugging
