#pragma once

#include "editors/livechecker.h"
#include "model/scansink.h"
#include "tools/compilermarks.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What a Java source window needs of the open project, beyond the scan reports: adding its
// file, running the compiler on it, the marks the compiler's messages left on it, and how its
// text is checked as it is typed. The project document implements it.
class SourceProject : public ScanSink {
public:
    // Adds a file by full path; false when that path is already in the project, or when the
    // user keeps the other file of that name that the project holds.
    virtual bool AddFile(const QString &path) = 0;
    // Starts a JDK tool with its output captured into the project's output window; failures
    // are reported to the user.
    virtual void StartCapturedTool(const QString &program, const QString &commandLine,
                                   const QString &folder) = 0;
    // Starts the compiler as StartCapturedTool does; sources are the full paths of the files
    // it compiles. When the run ends, the windows of the files it has messages about show
    // them as marks, and those of the compiled files without messages lose theirs.
    virtual void StartCompiler(const QString &program, const QString &commandLine,
                               const QString &folder, const QStringList &sources) = 0;
    // The marks the last compiles left on the file with that full path.
    virtual QList<jdk::CompilerMark> CompilerMarksOf(const QString &path) const = 0;
    // The folder a new source of the project is proposed in: the main file's, else the
    // project file's; empty when there is none.
    virtual QString newFileFolder() const { return {}; }
    // The jar files and class folders on the class path of the project's compiles.
    virtual QStringList libraries() const { return {}; }
    // The classes and methods the scans found in the project's files, named as the scanner
    // names its entries ("Foo", "Foo.paint(Graphics g)", "Foo.Inner.run()"): what completion
    // offers when no compiler is at hand.
    virtual QStringList ScannedEntries() const { return {}; }
    // How the text of the file at path is checked as it is typed, or none when the project does
    // not check it (not one of its files, or no compiler kept running).
    virtual std::optional<LiveCheckSetup> LiveCheckFor(const QString &path,
                                                       const QString &text) = 0;
};
