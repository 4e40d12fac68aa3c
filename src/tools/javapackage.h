#pragma once

#include "tools/jdkcommands.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Java files laid out in package folders (src/com/example/app/Main.java declaring package
// com.example.app): where the package root is, and the tool command lines that run from it.
// A file whose folder does not end with the folders of its package, or that declares none,
// has no package layout; the commands of jdkcommands.h serve it unchanged.
namespace jdk {

struct PackageLayout {
    QString package;      // as declared: com.example.app
    QString root;         // the folder above the package folders
    QString relativePath; // the file's path from the root: com/example/app/Main.java
};

// The name of the first package statement outside comments (and string or character
// literals), with the blanks and comments between its parts taken out; empty when the text
// declares none or its first package statement is not a well-formed one.
QString declaredPackage(QStringView source);

// The name of the public top-level class (or interface, enum, record, annotation type) that
// the text declares, outside comments and literals; empty when it declares none. javac wants
// such a class in a file of the same name.
QString declaredPublicClass(QStringView source);

// The layout of a file declaring package: none when package is empty, when the file's folder
// does not end with the package's folders (compared exactly), or when nothing is left above
// them.
std::optional<PackageLayout> packageLayout(const QString &filePath, const QString &package);

// package.name, or name alone when package is empty.
QString qualifiedName(const QString &package, const QString &name);

// javac -sourcepath . com/example/app/Main.java [options], in the root, so that the classes
// of other packages under the root are found and compiled. No -sourcepath is added when the
// options give one of their own.
ToolCommand packageCompileCommand(const QString &jdkFolder, const QString &javacOptions,
                                  const PackageLayout &layout);
// java package.Class, in the root.
ToolCommand packageRunCommand(const QString &jdkFolder, const PackageLayout &layout,
                              const QString &qualifiedClass);
// jar cmfv "MANIFEST" "JAR" com/example/app/*.class com/example/util/*.class, in the root:
// the class files of every package folder named (paths from the root; the main file's own
// folder when none is). The wildcards are left for the tool to expand.
ToolCommand packageJarCommand(const QString &jdkFolder, const QString &manifestPath,
                              const QString &jarPath, const PackageLayout &layout,
                              const QStringList &packageFolders);

// Reads the file and gives its layout; none when it cannot be read or has no layout.
std::optional<PackageLayout> readPackageLayout(const QString &filePath);
// The package folders of the project's classes below root (paths from it, sorted): the folder of
// each source at sourcePaths that lies in its package's folders below root, when it holds class
// files. Other folders under root, whatever they hold, are not taken. Reads the sources: call it
// off the user-interface thread.
QStringList projectClassFolders(const QString &root, const QStringList &sourcePaths);

// The compile command of a file: from its package root when it has a layout on disk, else the
// one-folder command of compileCommand.
ToolCommand compileCommandFor(const QString &jdkFolder, const QString &javacOptions,
                              const QString &path, const QString &fileName);
// The run command of the main file: from its package root when it has a layout on disk, with
// the class qualified by the project's package when one is set, else by the declared one;
// otherwise the one-folder command of runCommand.
ToolCommand runCommandFor(const QString &jdkFolder, const QString &mainFilePath,
                          const QString &mainFile, const QString &package);

} // namespace jdk
