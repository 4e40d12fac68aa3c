// Debug Application: the main class run under Tarvo's debugger as Run Application runs it, the
// build before it, and the way from where the program stopped to its source line.
#include "project/cjavaprojectdoc.h"

#include "editors/csyntaxwindowdoc.h"
#include "editors/linejump.h"
#include "framework/prompter.h"
#include "framework/view.h"
#include "javaservice/helpercache.h"
#include "model/cjavafile.h"
#include "project/debugbreakpoints.h"
#include "services/appsettings.h"
#include "services/ideservices.h"
#include "tools/classfreshness.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/debugrun.h"
#include "tools/javapackage.h"
#include "tools/jdkcommands.h"
#include "tools/outputwindowlistener.h"
#include "tools/processrunner.h"
#include "tools/runoptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kNoMainFile = QStringLiteral("Please specify a main Java file first");
const QString kUnholyError = QStringLiteral("Unholy Error");
const QString kStartFailed = QStringLiteral("Failed to start process");
const QString kDebuggerFailed = QStringLiteral("The debugger could not run the program:\n%1");

AppSettings &settings() {
    return IdeServices::instance()->settings();
}

// Whether the options already say what debugging information javac is to write.
bool hasDebugOption(const QString &options) {
    for (const QString &word : options.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word == QLatin1String("-g") || word.startsWith(QLatin1String("-g:"))) {
            return true;
        }
    }
    return false;
}

QString packageOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? jdk::declaredPackage(QString::fromUtf8(file.readAll()))
                                          : QString();
}

} // namespace

QString CJavaProjectDoc::BuildOptions() const {
    const QString &options = settings().javacOptions;
    if (!m_buildingForDebug || hasDebugOption(options)) {
        return options;
    }
    return options.isEmpty() ? QStringLiteral("-g") : options + QStringLiteral(" -g");
}

DebugRun *CJavaProjectDoc::debugRun() const {
    return m_debugRun && m_debugRun->isActive() ? m_debugRun.get() : nullptr;
}

void CJavaProjectDoc::DebugMain() {
    if (m_strMainFile.isEmpty()) {
        fw::prompter().message(kNoMainFile);
        return;
    }
    const QString mainPath = GetFullPath(m_strMainFile);
    if (!jdk::hasSeparator(mainPath)) {
        fw::prompter().message(kUnholyError);
        return;
    }
    if (debugRun() || IsProcessRunning()) {
        return;
    }
    if (!m_runningAfterBuild) {
        // The build before a debug run writes the names of local variables (-g).
        m_buildingForDebug = true;
        const bool runNow = RunNowOrAfterBuild(RunAfterBuild::Debug);
        m_buildingForDebug = false;
        if (!runNow) {
            return;
        }
        // Classes built without -g show no local variables: built again, without a question.
        const QString compileFolder =
            jdk::compileCommandFor(settings().jdkFolder, settings().javacOptions, mainPath,
                                   m_strMainFile)
                .folder;
        const QString classFile = jdk::classOutputFolder(mainPath, packageOf(mainPath),
                                                         settings().javacOptions, compileFolder)
                                  + QLatin1Char('/') + QFileInfo(mainPath).completeBaseName()
                                  + QStringLiteral(".class");
        if (QFileInfo(classFile).isFile() && !debugging::hasVariableNames(classFile)) {
            m_buildingForDebug = true;
            m_runAfterStartingBuild = RunAfterBuild::Debug;
            Build();
            m_runAfterStartingBuild.reset();
            m_buildingForDebug = false;
            return;
        }
    }
    if (const QString error = jdk::runOptionsError(m_runOptions); !error.isEmpty()) {
        fw::prompter().message(error + QStringLiteral("\nChange it in Build > Run Settings."));
        return;
    }
    const jdk::ToolCommand command = jdk::withRunOptions(
        jdk::runCommandFor(settings().jdkFolder, mainPath, m_strMainFile, m_strPackage),
        m_runOptions);
    QDir::setCurrent(command.folder);
    IdeServices::instance()->setToolCaption(command.commandLine);
    m_debugFolder = command.folder;

    DebugRun::Launch launch;
    launch.program = command.program;
    launch.commandLine = command.commandLine;
    launch.folder = command.folder;
    launch.inputFile = m_runOptions.inputFile;
    launch.jdkFolder = settings().jdkFolder;
    launch.helpFolders = javaservice::helpFolders(IdeServices::instance()->appFolder());
    launch.cacheRoot = javaservice::cacheRoot();
    m_debugRun = std::make_unique<DebugRun>();
    DebugRun *run = m_debugRun.get();
    connect(run, &DebugRun::ended, this, [](const QString &error) {
        if (!error.isEmpty()) {
            fw::prompter().message(error == kStartFailed ? error : kDebuggerFailed.arg(error));
        }
    });
    run->start(launch, debugging::allBreakpoints(),
               [this, folder = command.folder](std::unique_ptr<CProcessRunner> runner) {
                   m_runSources.reset();
                   m_runAfterWatchedBuild.reset();
                   watchRun(std::move(runner), folder);
               });
    emit debugRunStarted(run);
}

CSyntaxWindowDoc *CJavaProjectDoc::ShowDebugLine(const QString &sourcePath, int line) {
    if (sourcePath.isEmpty()) {
        return nullptr;
    }
    QString path;
    if (!m_debugFolder.isEmpty()) {
        const QString below = QDir(m_debugFolder).filePath(sourcePath);
        if (QFileInfo(below).isFile()) {
            path = QDir::cleanPath(below);
        }
    }
    const QString ending = QLatin1Char('/') + sourcePath;
    for (int index = 0; path.isEmpty() && index < m_fileList.GetCount(); ++index) {
        if (m_fileList.GetAt(index)->GetPath().endsWith(ending)) {
            path = m_fileList.GetAt(index)->GetPath();
        }
    }
    if (path.isEmpty()) {
        return nullptr;
    }
    CSyntaxWindowDoc *source = openSourceDocument(path);
    if (source && line > 0) {
        source->JumpToLine(line - 1, editors::kFirstNonBlank);
    }
    return source;
}
