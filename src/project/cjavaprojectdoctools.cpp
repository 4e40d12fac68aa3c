// The JDK tool commands of the project document: compile, build, run, applet, jar, and the way
// back from a compiler message to its source line.
#include "project/cjavaprojectdoc.h"

#include "editors/csyntaxwindowdoc.h"
#include "editors/linejump.h"
#include "editors/linemarks.h"
#include "framework/application.h"
#include "framework/doctemplate.h"
#include "framework/prompter.h"
#include "framework/view.h"
#include "framework/waitcursor.h"
#include "model/cjavafile.h"
#include "services/appsettings.h"
#include "services/ideservices.h"
#include "tools/applethost.h"
#include "tools/consolelauncher.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/javapackage.h"
#include "tools/jdkcommands.h"
#include "tools/messagelocation.h"
#include "tools/outputwindowlistener.h"
#include "tools/processrunner.h"
#include "tools/runoptions.h"
#include "tools/servicerun.h"
#include "tools/stackframe.h"
#include "tools/toolstartfailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <cstdio>

#include <optional>
#include <utility>

namespace {

const QString kNoMainFile = QStringLiteral("Please specify a main Java file first");
const QString kUnholyError = QStringLiteral("Unholy Error");
const QString kNoHtmlFile = QStringLiteral("Please load the HTML file into the project.");
const QString kStartFailed = QStringLiteral("Failed to start process");
const QString kConsoleStartFailed = QStringLiteral("Failed to laumch external process.");
const QString kNoJava = QStringLiteral("Couldn't locate Java.");
const QString kNoTerminal =
    QStringLiteral("No terminal emulator was found to run the program in.\n\n"
                   "Install one (for example xterm), or set the environment variable TERMINAL "
                   "to the terminal program to use before starting Tarvo.");
const QString kJarFilter = QStringLiteral("Java Archives (*.jar)|*.jar||");
const QString kJarExtension = QStringLiteral("jar");
const QString kManifestName = QStringLiteral("manifest.txt");

IdeServices &services() {
    return *IdeServices::instance();
}

AppSettings &settings() {
    return services().settings();
}

QString quoted(const QString &text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

void saveBeforeCompile() {
    if (settings().saveBeforeCompile != 0) {
        services().SaveAllDocuments();
    }
}

// What a run ends with when the user aborted it: its output says nothing of the files.
const QString kTerminatedByUser = QStringLiteral("Process terminated by user.");

// The name a file's marks are kept under: its canonical path, so that a file reached through a
// symbolic link is one file; a path that names no file is only made absolute and clean.
QString markKey(const QString &path) {
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(file.absoluteFilePath()) : canonical;
}

// Each command leaves the application in the folder it runs its tool in.
void enterFolder(const QString &folder) {
    QDir::setCurrent(folder);
}

// The main file's full path, or none after telling the user why there is none: no main file
// set, or one the project does not hold (its path has no folder).
std::optional<QString> mainFilePath(const CJavaProjectDoc &project) {
    if (project.m_strMainFile.isEmpty()) {
        fw::prompter().message(kNoMainFile);
        return std::nullopt;
    }
    const QString path = project.GetFullPath(project.m_strMainFile);
    if (!jdk::hasSeparator(path)) {
        fw::prompter().message(kUnholyError);
        return std::nullopt;
    }
    return path;
}

// Writes the manifest as a new regular file put in the place of whatever had its name, so that
// a symbolic link (or a special file) planted there is replaced, never written through.
bool writeManifest(const QString &path, const QByteArray &text) {
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(text) != text.size() || !file.flush()) {
        return false;
    }
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(path).constData())
        != 0) {
        return false;
    }
    file.setAutoRemove(false);
    return true;
}

// The file of a stack frame: below the folder the run started in, else the project file whose
// path ends with the frame's package folders and file name. Empty when there is none: a frame of
// java.util.Scanner must not open the project's own Scanner.java of another package.
QString stackFrameFile(const jdk::StackFrame &frame, const QString &runFolder,
                       const CJavaFileList &files) {
    if (!runFolder.isEmpty()) {
        const QString below = QDir(runFolder).filePath(frame.relativePath);
        if (QFileInfo(below).isFile()) {
            return QDir::cleanPath(below);
        }
    }
    const QString ending = QDir::separator() + frame.relativePath;
    for (int index = 0; index < files.GetCount(); ++index) {
        if (files.GetAt(index)->GetPath().endsWith(ending)) {
            return files.GetAt(index)->GetPath();
        }
    }
    return {};
}

} // namespace

void CJavaProjectDoc::Build() {
    const std::optional<QString> mainPath = mainFilePath(*this);
    if (!mainPath) {
        return;
    }
    const QString &path = *mainPath;
    saveBeforeCompile();
    services().setToolCaption(QStringLiteral("Building ") + quoted(path));
    const fw::WaitCursor waitCursor;
    const jdk::ToolCommand command = jdk::withClassPath(
        jdk::compileCommandFor(settings().jdkFolder, BuildOptions(), path, m_strMainFile),
        m_runOptions.libraries);
    enterFolder(command.folder);
    // javac compiles the main file and the sources it uses: the project's files stand for them.
    QStringList sources{path};
    for (int index = 0; index < m_fileList.GetCount(); ++index) {
        sources.append(m_fileList.GetAt(index)->GetPath());
    }
    StartCompiler(command.program, command.commandLine, command.folder, sources);
}

void CJavaProjectDoc::CompileFile(const QString &path) {
    services().setToolCaption(QStringLiteral("Compiling ") + quoted(path));
    if (!jdk::hasSeparator(path)) {
        fw::prompter().message(kUnholyError);
        return;
    }
    saveBeforeCompile();
    const fw::WaitCursor waitCursor;
    const CJavaFile *file = m_fileList.FindByPath(path);
    const QString fileName = file ? file->GetFileName() : jdk::fileNameOf(path);
    const jdk::ToolCommand command = jdk::withClassPath(
        jdk::compileCommandFor(settings().jdkFolder, settings().javacOptions, path, fileName),
        m_runOptions.libraries);
    enterFolder(command.folder);
    StartCompiler(command.program, command.commandLine, command.folder, {path});
}

void CJavaProjectDoc::RunMain(bool ownConsole) {
    const std::optional<QString> mainPath = mainFilePath(*this);
    if (!mainPath) {
        return;
    }
    if (!ownConsole && !RunNowOrAfterBuild(RunAfterBuild::Application)) {
        return;
    }
    // The run settings are checked first: a run with a missing input file or folder would only
    // fail in a way that hides why.
    if (const QString error = jdk::runOptionsError(m_runOptions); !error.isEmpty()) {
        fw::prompter().message(error + QStringLiteral("\nChange it in Build > Run Settings."));
        return;
    }
    const jdk::ToolCommand command = jdk::withRunOptions(
        jdk::runCommandFor(settings().jdkFolder, *mainPath, m_strMainFile, m_strPackage),
        m_runOptions);
    enterFolder(command.folder);
    const QString &inputFile = m_runOptions.inputFile;
    services().setToolCaption(inputFile.isEmpty() ? command.commandLine
                                                  : command.commandLine + QStringLiteral(" < ")
                                                        + jdk::argumentFor(inputFile));
    if (!ownConsole) {
        StartCapturedRun(command.program, command.commandLine, command.folder, inputFile.isEmpty(),
                         inputFile);
    } else if (StartConsoleTool(command.program, command.commandLine, command.folder, inputFile)
               == ConsoleStart::Failed) {
        fw::prompter().message(kNoJava);
    }
}

void CJavaProjectDoc::RunApplet() {
    if (m_strHtmlPath.isEmpty()) {
        fw::prompter().message(kNoHtmlFile);
        return;
    }
    if (!jdk::hasSeparator(m_strHtmlPath)) {
        fw::prompter().message(kUnholyError);
        return;
    }
    if (!RunNowOrAfterBuild(RunAfterBuild::Applet)) {
        return;
    }
    const QString &jdkFolder = settings().jdkFolder;
    if (jdk::hasAppletViewer(jdkFolder)) {
        const jdk::ToolCommand command =
            jdk::appletCommand(jdkFolder, m_strHtmlPath, m_strHtmlFile);
        enterFolder(command.folder);
        services().setToolCaption(QStringLiteral("AppletViewer: ") + quoted(m_strHtmlFile));
        StartCapturedTool(command.program, command.commandLine, command.folder);
        return;
    }
    // No appletviewer (JDK 11 and later): Tarvo's own host, compiled on first use.
    const fw::WaitCursor waitCursor;
    const jdk::AppletHostPrepared host =
        jdk::prepareAppletHost(jdkFolder, services().appFolder(), javaservice::cacheRoot());
    if (!host.error.isEmpty()) {
        fw::prompter().message(host.error);
        return;
    }
    const jdk::ToolCommand command =
        jdk::appletHostCommand(jdkFolder, host.classFolder, m_strHtmlPath, m_strHtmlFile);
    enterFolder(command.folder);
    services().setToolCaption(QStringLiteral("Applet Host: ") + quoted(m_strHtmlFile));
    StartCapturedTool(command.program, command.commandLine, command.folder);
}

void CJavaProjectDoc::CreateJar() {
    if (m_strMainFile.isEmpty()) {
        fw::prompter().message(kNoMainFile);
        return;
    }
    const QString className = jdk::jarClassName(m_strMainFile);
    const QString mainPath = GetFullPath(m_strMainFile);
    const QString mainFolder = jdk::folderOf(mainPath);
    // In a package tree the jar is packed from the package root with the qualified class.
    const std::optional<jdk::PackageLayout> layout = jdk::readPackageLayout(mainPath);
    const QString mainClass =
        layout
            ? jdk::qualifiedName(m_strPackage.isEmpty() ? layout->package : m_strPackage, className)
            : className;
    if (const QString error = jdk::mainClassManifestError(mainClass); !error.isEmpty()) {
        fw::prompter().message(error);
        return;
    }
    fw::FileDialogOptions options;
    options.defaultExtension = kJarExtension;
    options.initialName = className + QStringLiteral(".jar");
    options.filter = kJarFilter;
    options.overwritePrompt = true;
    options.initialFolder = mainFolder;
    const QString jarPath = fw::prompter().saveFile(options);
    if (jarPath.isEmpty()) {
        return;
    }
    const QString manifestPath = jdk::folderOf(jarPath) + QDir::separator() + kManifestName;
    // Without a fresh manifest the jar is still made.
    writeManifest(manifestPath,
                  jdk::manifestText(mainClass, jdk::manifestClassPath(m_runOptions.libraries,
                                                                      jdk::folderOf(jarPath)))
                      .toUtf8());
    const auto startJar = [this, jarPath](const jdk::ToolCommand &command) {
        enterFolder(command.folder);
        services().setToolCaption(QStringLiteral("Creating jar ") + jarPath);
        StartCapturedTool(command.program, command.commandLine, command.folder);
    };
    if (!layout) {
        startJar(jdk::jarCommand(settings().jdkFolder, manifestPath, jarPath, mainFolder));
        return;
    }
    // The jar takes the classes of the project's packages, found by reading its sources: on a
    // worker, so that a large project or a slow disk does not stop the window.
    QStringList sources;
    for (int index = 0; index < m_fileList.GetCount(); ++index) {
        sources.append(m_fileList.GetAt(index)->GetPath());
    }
    m_jarFolderSearch.start<QStringList>(
        [root = layout->root, sources] { return jdk::projectClassFolders(root, sources); },
        [startJar, jdkFolder = settings().jdkFolder, manifestPath, jarPath,
         layout = *layout](const QStringList &folders) {
            startJar(jdk::packageJarCommand(jdkFolder, manifestPath, jarPath, layout, folders));
        });
}

void CJavaProjectDoc::ShowArchiveContents() {
    fw::FileDialogOptions options;
    options.defaultExtension = kJarExtension;
    options.filter = kJarFilter;
    const QStringList chosen = fw::prompter().openFiles(options);
    if (chosen.isEmpty()) {
        return;
    }
    const jdk::ToolCommand command = jdk::archiveListCommand(settings().jdkFolder, chosen.first());
    enterFolder(command.folder);
    // Each run says what it is: the listing does not show the caption of the run before it.
    services().setToolCaption(QStringLiteral("Listing jar ") + chosen.first());
    StartCapturedTool(command.program, command.commandLine, command.folder);
}

void CJavaProjectDoc::JumpToMessageLine(int line) {
    m_nMessageLine = line;
    m_strLastOutput = m_pOutputWnd->ShownText();
    const std::optional<QStringView> found = jdk::outputLine(m_strLastOutput, line);
    if (!found || found->isEmpty()) {
        return;
    }
    const QString message = found->toString();
    // The caret goes where javac's caret line under the message points, else to the line's
    // first non-blank.
    const int column =
        jdk::messageCaretColumn(m_strLastOutput, line).value_or(editors::kFirstNonBlank);
    // A message that begins with the path of a source file and a line number names exactly
    // one file, inside the project or not; a file name met anywhere in the line is only a
    // guess at one of the project's files.
    if (const std::optional<jdk::MessageLocation> location =
            jdk::messageLocation(message, m_strToolFolder)) {
        fw::Document *opened = services().OpenDocumentFile(location->path);
        if (auto *source = dynamic_cast<CSyntaxWindowDoc *>(opened)) {
            source->JumpToLine(location->line - 1, column);
        }
        return;
    }
    // A stack frame names its file by class: the file whose name merely occurs in the line
    // first may be another one (Counter.java in a frame of FrequencyCounter.java).
    if (const std::optional<jdk::StackFrame> frame = jdk::stackFrame(message)) {
        const QString path = stackFrameFile(*frame, m_strToolFolder, m_fileList);
        fw::Document *opened = path.isEmpty() ? nullptr : services().OpenDocumentFile(path);
        if (auto *source = dynamic_cast<CSyntaxWindowDoc *>(opened)) {
            source->JumpToLine(frame->line - 1, editors::kFirstNonBlank);
        }
        return;
    }
    QString fileName;
    for (int index = 0; index < m_fileList.GetCount() && fileName.isNull(); ++index) {
        const QString candidate = m_fileList.GetAt(index)->GetFileName();
        if (message.contains(candidate)) {
            fileName = candidate;
        }
    }
    if (fileName.isNull()) {
        return;
    }
    fw::Document *opened = services().OpenDocumentFile(GetFullPath(fileName));
    if (auto *source = dynamic_cast<CSyntaxWindowDoc *>(opened)) {
        source->JumpToLine(jdk::messageLineNumber(message, fileName) - 1, column);
    }
}

const QList<int> &CJavaProjectDoc::messageLines() {
    if (m_messageLinesSize != m_pOutputWnd->ShownSize()) {
        m_messageLinesSize = m_pOutputWnd->ShownSize();
        m_messageLines = jdk::fileMessageLines(m_pOutputWnd->ShownText());
    }
    return m_messageLines;
}

bool CJavaProjectDoc::HasMessages() {
    return !messageLines().isEmpty();
}

void CJavaProjectDoc::GoToMessage(bool forward) {
    const std::optional<int> line =
        jdk::adjacentMessageLine(messageLines(), m_nMessageLine, forward);
    if (!line) {
        return;
    }
    ShowCompilerOutput();
    m_pOutputWnd->SelectLine(*line);
    JumpToMessageLine(*line);
}

void CJavaProjectDoc::StartCapturedTool(const QString &program, const QString &commandLine,
                                        const QString &folder) {
    StartCapturedRun(program, commandLine, folder, false);
}

void CJavaProjectDoc::StartCompiler(const QString &program, const QString &commandLine,
                                    const QString &folder, const QStringList &sources) {
    m_startingSources = sources;
    StartCapturedRun(program, commandLine, folder, false);
}

QList<jdk::CompilerMark> CJavaProjectDoc::CompilerMarksOf(const QString &path) const {
    return m_compilerMarks.value(markKey(path));
}

void CJavaProjectDoc::ShowCompilerMarks() {
    if (!m_runSources) {
        return;
    }
    const QStringList sources = *std::exchange(m_runSources, std::nullopt);
    const QString output = m_pOutputWnd->ShownText();
    if (output.endsWith(kTerminatedByUser)) {
        return;
    }
    QSet<QString> compiled;
    for (const QString &source : sources) {
        compiled.insert(markKey(source));
        m_compilerMarks.remove(markKey(source));
    }
    QSet<QString> marked;
    const jdk::CompilerMarks found = jdk::compilerMarks(output, m_strToolFolder);
    for (auto file = found.cbegin(); file != found.cend(); ++file) {
        const QString key = markKey(file.key());
        if (!marked.contains(key)) {
            m_compilerMarks.remove(key);
            marked.insert(key);
        }
        m_compilerMarks[key].append(file.value());
    }
    fw::Application *application = fw::Application::instance();
    if (!application) {
        return;
    }
    for (const std::unique_ptr<fw::DocTemplate> &docTemplate : application->docTemplates()) {
        for (fw::Document *document : docTemplate->documents()) {
            auto *source = dynamic_cast<CSyntaxWindowDoc *>(document);
            if (!source || source->pathName().isEmpty()) {
                continue;
            }
            const QString key = markKey(source->pathName());
            if (marked.contains(key)) {
                source->lineMarks().setMarks(m_compilerMarks.value(key));
            } else if (compiled.contains(key)) {
                source->lineMarks().clear();
            }
        }
    }
}

void CJavaProjectDoc::StartCapturedRun(const QString &program, const QString &commandLine,
                                       const QString &folder, bool withInput,
                                       const QString &inputFile) {
    const std::optional<QStringList> sources = std::exchange(m_startingSources, std::nullopt);
    const std::optional<RunAfterBuild> runAfter =
        std::exchange(m_runAfterStartingBuild, std::nullopt);
    auto runner = std::make_unique<CProcessRunner>();
    runner->setInputFile(inputFile);
    if (!StartCapturedToolRun(*runner, program, commandLine, folder, withInput)) {
        // Another run going on is reason enough; otherwise the user is told what to mend.
        const QString detail =
            IsProcessRunning() ? QString() : jdk::toolStartFailureDetail(program, folder);
        const QString text =
            detail.isEmpty() ? kStartFailed : kStartFailed + QStringLiteral("\n\n") + detail;
        if (!IsProcessRunning()) {
            m_pOutputWnd->ShowStartFailure(commandLine, folder, text);
            services().setMessageText(kStartFailed);
        }
        fw::prompter().message(text);
        return;
    }
    m_runSources = sources;
    m_runAfterWatchedBuild = runAfter;
    watchRun(std::move(runner), folder);
}

void CJavaProjectDoc::watchRun(std::unique_ptr<CProcessRunner> runner, const QString &folder) {
    m_strToolFolder = folder;
    m_messageLinesSize = -1;
    m_nMessageLine = -1;
    // The project window is the document's first and only view.
    auto *view = dynamic_cast<OutputWindowListener *>(firstView());
    if (m_pOutputWnd->IsOpen()) {
        m_pOutputWnd->Restart(std::move(runner), view);
    } else {
        m_pOutputWnd->Open(std::move(runner), view);
    }
}

ConsoleStart CJavaProjectDoc::StartConsoleTool(const QString &program, const QString &commandLine,
                                               const QString &folder, const QString &inputFile) {
    const ConsoleStart result = StartConsoleProcess(program, commandLine, folder, inputFile);
    switch (result) {
    case ConsoleStart::Started:
        break;
    case ConsoleStart::Failed:
        fw::prompter().message(kConsoleStartFailed);
        break;
    case ConsoleStart::NoTerminal:
        // Java may be fine: what is missing is a window to run it in, and the user can mend that.
        fw::prompter().message(kNoTerminal);
        break;
    }
    return result;
}
