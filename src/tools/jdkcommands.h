#pragma once

#include <QString>

// The command lines of the JDK tools, composed exactly as the tool commands run them. Pure
// functions: the commands check their preconditions, call these, and hand the result to the
// process runner or to a console.
//
// A tool is the program jdkFolder/bin/<tool>; its command line begins with the bare tool name.
// The folder of a path is the text before its last separator ("" when it has none); each
// command runs its tool in a folder it computes.
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

} // namespace jdk
