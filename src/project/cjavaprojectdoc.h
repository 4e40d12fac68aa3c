#pragma once

#include "editors/sourceproject.h"
#include "editors/webproject.h"
#include "framework/document.h"
#include "project/projectfile.h"
#include "tools/consolelauncher.h"

#include <QMap>
#include <QStringList>

#include <memory>
#include <optional>

class CJavaClass;
class CJavaProjectView;
class CProcessOutputDialog;
class CSyntaxWindowDoc;
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

    // File operations.
    bool AddFile(const QString &path) override;
    void RemoveFile(const QString &path);
    QString GetFullPath(const QString &fileName) const;
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
    // As StartCapturedTool; with withInput the program reads what is typed in the output window.
    void StartCapturedRun(const QString &program, const QString &commandLine, const QString &folder,
                          bool withInput);
    // Shows what went wrong when the start fails.
    ConsoleStart StartConsoleTool(const QString &program, const QString &commandLine,
                                  const QString &folder);

    bool saveModified() override;
    void onCloseDocument() override;

protected:
    bool readContents(const QByteArray &bytes, QString *error) override;
    QByteArray writeContents() override;
    void deleteContents() override;

private:
    void registerCommands();
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
