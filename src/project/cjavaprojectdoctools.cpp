// The JDK tool commands of the project document: compile, build, run, applet, jar, and the way
// back from a compiler message to its source line.
#include "project/cjavaprojectdoc.h"

#include "editors/csyntaxwindowdoc.h"
#include "framework/prompter.h"
#include "framework/view.h"
#include "framework/waitcursor.h"
#include "model/cjavafile.h"
#include "services/appsettings.h"
#include "services/ideservices.h"
#include "tools/consolelauncher.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/jdkcommands.h"
#include "tools/outputwindowlistener.h"
#include "tools/processrunner.h"

#include <QDir>
#include <QFile>

#include <optional>

namespace {

const QString kNoMainFile = QStringLiteral("Please specify a main Java file first");
const QString kUnholyError = QStringLiteral("Unholy Error");
const QString kNoHtmlFile = QStringLiteral("Please load the HTML file into the project.");
const QString kStartFailed = QStringLiteral("Failed to start process");
const QString kConsoleStartFailed = QStringLiteral("Failed to laumch external process.");
const QString kNoJava = QStringLiteral("Couldn't locate Java.");
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
    const jdk::ToolCommand command =
        jdk::compileCommand(settings().jdkFolder, settings().javacOptions, path, m_strMainFile);
    enterFolder(command.folder);
    StartCapturedTool(command.program, command.commandLine, command.folder);
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
    const jdk::ToolCommand command =
        jdk::compileCommand(settings().jdkFolder, settings().javacOptions, path, fileName);
    enterFolder(command.folder);
    StartCapturedTool(command.program, command.commandLine, command.folder);
}

void CJavaProjectDoc::RunMain(bool ownConsole) {
    const std::optional<QString> mainPath = mainFilePath(*this);
    if (!mainPath) {
        return;
    }
    const jdk::ToolCommand command =
        jdk::runCommand(settings().jdkFolder, *mainPath, m_strMainFile, m_strPackage);
    enterFolder(command.folder);
    services().setToolCaption(command.commandLine);
    if (!ownConsole) {
        StartCapturedRun(command.program, command.commandLine, command.folder, true);
    } else if (!StartConsoleTool(command.program, command.commandLine, command.folder)) {
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
    const jdk::ToolCommand command =
        jdk::appletCommand(settings().jdkFolder, m_strHtmlPath, m_strHtmlFile);
    enterFolder(command.folder);
    services().setToolCaption(QStringLiteral("AppletViewer: ") + quoted(m_strHtmlFile));
    StartCapturedTool(command.program, command.commandLine, command.folder);
}

void CJavaProjectDoc::CreateJar() {
    if (m_strMainFile.isEmpty()) {
        fw::prompter().message(kNoMainFile);
        return;
    }
    const QString className = jdk::jarClassName(m_strMainFile);
    const QString mainFolder = jdk::folderOf(GetFullPath(m_strMainFile));
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
    QFile manifest(manifestPath);
    if (manifest.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        manifest.write(jdk::manifestText(className).toUtf8());
        manifest.close();
    }
    const fw::WaitCursor waitCursor;
    enterFolder(mainFolder);
    const jdk::ToolCommand command =
        jdk::jarCommand(settings().jdkFolder, manifestPath, jarPath, mainFolder);
    services().setToolCaption(QStringLiteral("Creating jar ") + jarPath);
    StartCapturedTool(command.program, command.commandLine, command.folder);
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
    StartCapturedTool(command.program, command.commandLine, command.folder);
}

void CJavaProjectDoc::JumpToMessageLine(int line) {
    m_strLastOutput = m_pOutputWnd->ShownText();
    const std::optional<QStringView> found = jdk::outputLine(m_strLastOutput, line);
    if (!found || found->isEmpty()) {
        return;
    }
    const QString message = found->toString();
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
        source->GoToLine(jdk::messageLineNumber(message, fileName) - 1);
    }
}

void CJavaProjectDoc::StartCapturedTool(const QString &program, const QString &commandLine,
                                        const QString &folder) {
    StartCapturedRun(program, commandLine, folder, false);
}

void CJavaProjectDoc::StartCapturedRun(const QString &program, const QString &commandLine,
                                       const QString &folder, bool withInput) {
    auto runner = std::make_unique<CProcessRunner>();
    if (!runner->Start(program, commandLine, folder, withInput)) {
        fw::prompter().message(kStartFailed);
        return;
    }
    // The project window is the document's first and only view.
    auto *view = dynamic_cast<OutputWindowListener *>(firstView());
    if (m_pOutputWnd->IsOpen()) {
        m_pOutputWnd->Restart(std::move(runner), view);
    } else {
        m_pOutputWnd->Open(std::move(runner), view);
    }
}

bool CJavaProjectDoc::StartConsoleTool(const QString &program, const QString &commandLine,
                                       const QString &folder) {
    if (!StartConsoleProcess(program, commandLine, folder)) {
        fw::prompter().message(kConsoleStartFailed);
        return false;
    }
    return true;
}
