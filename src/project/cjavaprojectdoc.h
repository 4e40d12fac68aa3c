#pragma once

#include "editors/sourceproject.h"
#include "editors/webproject.h"
#include "framework/backgroundtask.h"
#include "framework/document.h"
#include "project/projectfile.h"
#include "project/projectscan.h"
#include "tools/consolelauncher.h"
#include "tools/runoptions.h"

#include <QMap>
#include <QStringList>

#include <memory>
#include <optional>

class CJavaClass;
class CJavaProjectView;
class CProcessOutputDialog;
class CProcessRunner;
class CSyntaxWindowDoc;
class DebugRun;
class QWidget;

// The document behind the project window: the project's Java files with what the scanner found
// in them, the main file, the HTML page for applets and the main class's package, stored in a
// .jpr file. It is the hub of a project: the tree shows and edits it, the scans of open source
// windows report into it, the JDK tool commands are its commands, and it owns the project's
// output window. Only one is open at a time. Files are identified by full path when added or
// removed and by file name everywhere else; names and paths compare exactly.
class CJavaProjectDoc : public fw::Document,
                        public ProjectFileContents,
                        public SourceProject,
                        public WebProject {
    Q_OBJECT

public:
    // What GetFullPath gives for a name that is neither a project file nor the HTML file.
    static inline const QString kNoFile = QStringLiteral("NOFILE");

    CJavaProjectDoc();
    ~CJavaProjectDoc() override;

    // The project's output window object and the text it showed when it last closed.
    std::unique_ptr<CProcessOutputDialog> m_pOutputWnd;
    QString m_strLastOutput;
    // The folder the last captured tool ran in: the paths in its messages are relative to it.
    QString m_strToolFolder;

    // File operations. A file the full project refuses is named in a message, at once or, while
    // AddFiles adds a batch, with the others at its end.
    bool AddFile(const QString &path) override;
    // Adds the files in order with one question for all those whose names the project or an
    // earlier file of the batch already holds. Whether anything was added or changed.
    bool AddFiles(const QStringList &paths);
    void RemoveFile(const QString &path);
    QString GetFullPath(const QString &fileName) const;
    // Renames a project file (a Java file or the HTML page) in its folder: on disk, in the
    // project and in its open window; the project is saved when it has a path. A Java file's
    // name must end in .java and name the public class the file declares (a name typed without
    // an extension keeps the file's). Refuses, saying why, a name that does not, a name another
    // file has, and a name with a folder. True when renamed.
    bool RenameFile(const QString &fileName, const QString &newName);
    void SetMainFile(const QString &fileName);
    bool IsMainFile(const QString &fileName) const;
    QString mainFile() const override { return m_strMainFile; }
    void SetHtmlFile(const QString &path);
    CJavaFileList &GetFileList() { return m_fileList; }
    QWidget *GetProjectFrame() const;
    CJavaProjectView *projectView() const;

    // Commands of the project window.
    void AddJavaSourceFiles();
    void AddHtmlFile();
    // "Add Folder...": every Java file below a chosen folder.
    void AddFolder();
    void ShowCompilerOutput();

    // What the scanner of a source window reports.
    void ClearFileClasses(const QString &path) override;
    bool AddClass(const QString &path, const QString &className) override;
    bool AddMethod(const QString &path, const QString &className,
                   const QString &signature) override;
    bool AddInnerClass(const QString &path, const QString &className,
                       const QString &innerName) override;
    void AddInnerMethod(const QString &path, const QString &className, const QString &innerName,
                        const QString &signature) override;
    void ClassInfoUpdated() override;

    // Operations for the project tree.
    void RefreshFileClasses(const QString &path);
    bool LocateClass(const QString &className);
    bool LocateMember(const QString &fileName, const QString &className, const QString &signature);
    bool RelocateFile(const QString &fileName);

    // The JDK tool commands.
    void Build();
    void CompileFile(const QString &path);
    void RunMain(bool ownConsole);
    void RunApplet();
    void CreateJar();
    void ShowArchiveContents();
    void JumpToMessageLine(int line);
    // Goes to the next (or previous) compiler message of the last run's output, round at the
    // ends: opens its file at its line and selects it in the output window.
    void GoToMessage(bool forward);
    // Whether the last run's output has a compiler message about a place in a source file.
    bool HasMessages();
    void StartCapturedTool(const QString &program, const QString &commandLine,
                           const QString &folder) override;
    void StartCompiler(const QString &program, const QString &commandLine, const QString &folder,
                       const QStringList &sources) override;
    QList<jdk::CompilerMark> CompilerMarksOf(const QString &path) const override;
    std::optional<LiveCheckSetup> LiveCheckFor(const QString &path, const QString &text) override;
    QStringList ScannedEntries() const override;
    QString newFileFolder() const override;
    // As StartCapturedTool; with withInput the program reads what is typed in the output window,
    // else the input file when one is given.
    void StartCapturedRun(const QString &program, const QString &commandLine, const QString &folder,
                          bool withInput, const QString &inputFile = {});
    // What a Run asked for once the build it started first has ended with no errors.
    enum class RunAfterBuild { Application, Applet, Debug };
    // Whether a project source is modified in a window, or newer on disk than its classes.
    bool SourcesChangedSinceBuild();
    // Before Run Application and Run Applet: when the sources changed since the last build,
    // asks whether to build first. True when the run is to start now; false when it is not to
    // (Cancel) or is to follow the build (Yes).
    bool RunNowOrAfterBuild(RunAfterBuild run);
    // Shows what went wrong when the start fails.
    ConsoleStart StartConsoleTool(const QString &program, const QString &commandLine,
                                  const QString &folder, const QString &inputFile = {});

    // "Debug Application": builds first (with -g) when the sources changed or the main class has
    // no variable names, then runs the main class under the debugger with Run's command line,
    // output window and input; debugRunStarted() tells once it has started.
    void DebugMain();
    // The debug run in progress, or none.
    DebugRun *debugRun() const;
    // Opens the file the program's classes name by sourcePath ("pkg/Name.java") at the 1-based
    // line, highlighted: the file below the folder the debug run started in, else the project
    // file whose path ends so. None when there is no such file.
    CSyntaxWindowDoc *ShowDebugLine(const QString &sourcePath, int line);

    // The run settings and libraries, kept in a file beside the project file.
    const jdk::RunOptions &runOptions() const { return m_runOptions; }
    // Takes the options and writes them beside the project file at once (a project never saved
    // keeps them for its first save). False, after telling the user, when they cannot be written.
    bool setRunOptions(const jdk::RunOptions &options);
    QStringList libraries() const override { return m_runOptions.libraries; }
    // "Run Settings..." and "Libraries...".
    void EditRunSettings();
    void EditLibraries();

    // Scans the files with those paths in the background; each file's classes are taken into
    // the project when its scan is done, unless a source window shows the file (its own scans
    // count then). A file whose classes come out as the project holds them changes nothing.
    void ScanFilesInBackground(const QStringList &paths);
    bool isScanningInBackground() const { return m_backgroundScan.isRunning(); }

    bool onOpenDocument(const QString &path) override;

Q_SIGNALS:
    void debugRunStarted(DebugRun *run);

public:
    bool onSaveDocument(const QString &path) override;
    bool saveModified() override;
    void onCloseDocument() override;

protected:
    bool readContents(const QByteArray &bytes, QString *error) override;
    QByteArray writeContents() override;
    void deleteContents() override;

private:
    void registerCommands();
    // Shows a started run in the output window, whose message lines then belong to the folder
    // the run started in.
    void watchRun(std::unique_ptr<CProcessRunner> runner, const QString &folder);
    // Once a project file is read from that path: the files that are not where it says but
    // where a move of the project's folder put them are taken from there. The user hears of
    // them, and of the files found nowhere, when the project is open.
    void FindMovedFiles(const QString &projectPath);
    // What to do with a file whose name the project holds for another file that still exists.
    enum class SameName { Ask, Replace, Keep };
    bool addFile(const QString &path, SameName sameName);
    // The files the full project refused during the batch under way, when one is.
    std::optional<QStringList> m_refusedFiles;
    void takeScannedFiles(const std::shared_ptr<ScannedFiles> &files);
    jdk::RunOptions m_runOptions;
    ProjectScan m_backgroundScan;
    // Finds the class folders of a package project's jar.
    fw::BackgroundTask m_jarFolderSearch;
    // The files of the background scan whose classes have not come yet.
    QStringList m_scanQueue;
    // The class of that name in the file with that full path, or none.
    CJavaClass *findClass(const QString &path, const QString &className);
    // Opens a file through the application; the source document that results, or none.
    static CSyntaxWindowDoc *openSourceDocument(const QString &path);
    // Opens the file and selects the declaration of the entry, when the file's scan lists it.
    static bool goToEntry(const QString &path, const QString &entry);
    // The message lines of the shown output, found again only when it has changed.
    const QList<int> &messageLines();
    // After a compiler run: keeps the marks of its messages and shows them in the windows of
    // their files; the compiled files without messages lose theirs.
    void ShowCompilerMarks();

    // Starts the run that the build just ended asked for, when it ended with no errors.
    void RunAfterBuildEnds();
    // The run to follow the build being started, then the one to follow the build watched.
    std::optional<RunAfterBuild> m_runAfterStartingBuild;
    std::optional<RunAfterBuild> m_runAfterWatchedBuild;
    // A run that follows its build does not ask again.
    bool m_runningAfterBuild = false;
    // The javac options of builds: the user's, with -g added for a build before debugging.
    QString BuildOptions() const;
    bool m_buildingForDebug = false;
    std::unique_ptr<DebugRun> m_debugRun;
    QString m_debugFolder;

    QList<int> m_messageLines;
    // The size of the shown output m_messageLines was found in; -1 when a new run began.
    qsizetype m_messageLinesSize = -1;
    // The output line last gone to, by a message command or a double-click; -1 for none.
    int m_nMessageLine = -1;
    // The files the compiler run about to start compiles, and those of the run watched; none
    // for a run of another tool.
    std::optional<QStringList> m_startingSources;
    std::optional<QStringList> m_runSources;
    // The marks the compiles so far left, by the file's canonical path.
    QMap<QString, QList<jdk::CompilerMark>> m_compilerMarks;
    // The classes a file held when the scan under way emptied them, and whether the project
    // was modified then.
    struct ScanBefore {
        QString path;
        QStringList classes;
        bool wasModified = false;
    };
    std::optional<ScanBefore> m_scanBefore;
};
