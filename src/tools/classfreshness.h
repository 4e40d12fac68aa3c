#pragma once

#include <QString>
#include <QStringList>

// Whether the classes javac made from a source file are older than the file: what Run looks at
// to tell that the program it would run is not the one in the sources.
namespace jdk {

// The folder javac writes the classes of a source file into: with a -d option among
// javacOptions, that folder (relative to compileFolder, where javac runs) followed by the
// folders of the source's package; otherwise the source's own folder.
QString classOutputFolder(const QString &sourcePath, const QString &package,
                          const QString &javacOptions, const QString &compileFolder);

// Whether the source file was changed after the class files, in classFolder, of the top-level
// classes it declares (of the class named after the file when none are known). A missing class
// file counts only when missingCounts is set: a file javac was never asked to compile has
// none, the main file of a program that was never built has none either.
bool isNewerThanClasses(const QString &sourcePath, const QString &classFolder,
                        const QStringList &classNames, bool missingCounts);

} // namespace jdk
