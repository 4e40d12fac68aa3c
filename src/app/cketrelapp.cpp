#include "app/cketrelapp.h"

#include "app/caboutdialog.h"
#include "app/cmainframe.h"
#include "app/cpreferencesdialog.h"
#include "app/crecentprojectsdialog.h"
#include "app/ctipofthedaydialog.h"
#include "app/debugging.h"
#include "app/fileposition.h"
#include "app/projectwindows.h"
#include "editors/cchildframe.h"
#include "editors/ceditwebdoc.h"
#include "editors/ceditwebview.h"
#include "editors/cgotolinedialog.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "editors/cwebframe.h"
#include "framework/commandids.h"
#include "framework/doctemplate.h"
#include "framework/frame.h"
#include "framework/profile.h"
#include "framework/prompter.h"
#include "framework/recoverywriter.h"
#include "framework/resourcetables.h"
#include "framework/view.h"
#include "project/cjavaprojectdoc.h"
#include "project/cjavaprojectview.h"
#include "project/cprojectframe.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/javaservices.h"
#include "tools/processrunner.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStatusBar>
#include <QTimer>

#include <utility>

#include <csignal>

namespace {
const QString kSettingsSection = QStringLiteral("SETTINGS");
const QString kWindowStateKey = QStringLiteral("WINDOWSTATE");
const QString kProjectDocName = QStringLiteral("JavaProject");
const QString kSourceDocName = QStringLiteral("Vosk");
constexpr int kHandedFilesRetryMs = 200;

template <typename FrameType, typename ViewType>
fw::DocTemplate::FrameFactory frameWith() {
    return [](fw::Document &) {
        auto *frame = new FrameType;
        frame->setView(new ViewType);
        return frame;
    };
}
} // namespace

CKetrelApp::CKetrelApp(std::unique_ptr<fw::Profile> profile)
    : fw::Application(std::move(profile))
    , m_tables(std::make_unique<fw::ResourceTables>()) {
    registerCommands();
}

CKetrelApp::~CKetrelApp() {
    // Documents go before the main window that shows them.
    closeAllDocuments();
    m_mainFrame.reset();
    EndRecovery();
}

CKetrelApp *CKetrelApp::instance() {
    return static_cast<CKetrelApp *>(fw::Application::instance());
}

CMainFrame *CKetrelApp::mainFrame() const {
    return m_mainFrame.get();
}

bool CKetrelApp::InitInstance(const QStringList &files) {
    m_appFolder = QCoreApplication::applicationDirPath();
    m_settings.LoadSettings(profile());
    registerDocTemplates();
    StartRecovery();

    m_mainFrame = std::make_unique<CMainFrame>(*this, *m_tables);
    setMainWindow(m_mainFrame.get());

    // Every named file is opened; start-up fails only when none of them could be.
    if (!files.isEmpty()) {
        bool opened = false;
        for (const QString &file : files) {
            opened = OpenFileArgument(file) != nullptr || opened;
        }
        if (!opened) {
            return false;
        }
    }

    if (profile().readInt(kSettingsSection, kWindowStateKey, 0) != 0) {
        m_mainFrame->showMaximized();
    } else {
        m_mainFrame->show();
    }
    // The window reaches the screen now, not after the last project and the tip of the day:
    // the request to show it waits in the connection to the display until events are next
    // handled. The user's input waits until the start is done.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    if (m_settings.loadLastProject != 0 && !m_settings.lastOpenProject.isEmpty()) {
        if (fw::Document *project = openDocumentFile(m_settings.lastOpenProject)) {
            ReopenProjectWindows(project->pathName());
        }
    }
    OfferRecoveredTexts();
    if (files.isEmpty()) {
        ShowTipOfTheDay(true);
    }
    m_started = true;
    if (!m_handedFiles.isEmpty()) {
        QTimer::singleShot(0, this, &CKetrelApp::openPendingHandedFiles);
    }
    return true;
}

void CKetrelApp::ReopenProjectWindows(const QString &projectPath) {
    for (const QString &file : projectwindows::load(profile(), projectPath)) {
        // Files deleted or moved since are skipped without a word; a project file in the list
        // would close the project it belongs to.
        const QFileInfo info(file);
        if (info.isFile() && info.suffix() != QLatin1String("jpr")) {
            openDocumentFile(file);
        }
    }
}

void CKetrelApp::OpenHandedFiles(const QStringList &paths) {
    m_handedFiles += paths;
    // Even with no file, the hand-over asks for the main window to come forward.
    if (paths.isEmpty()) {
        m_handedFiles << QString();
    }
    openPendingHandedFiles();
}

void CKetrelApp::openPendingHandedFiles() {
    if (m_handedFiles.isEmpty()) {
        return;
    }
    if (!m_started || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        QTimer::singleShot(kHandedFilesRetryMs, this, &CKetrelApp::openPendingHandedFiles);
        return;
    }
    const QStringList paths = std::exchange(m_handedFiles, {});
    for (const QString &path : paths) {
        if (!path.isEmpty()) {
            OpenFileArgument(path);
        }
    }
    if (m_mainFrame) {
        // Restored only from the task bar; a maximised window stays maximised.
        if (m_mainFrame->isMinimized()) {
            m_mainFrame->showNormal();
        }
        m_mainFrame->raise();
        m_mainFrame->activateWindow();
    }
}

fw::Document *CKetrelApp::OpenFileArgument(const QString &argument) {
    const FilePosition position = splitFilePosition(argument);
    fw::Document *document = openDocumentFile(position.path);
    if (!document || position.line <= 0) {
        return document;
    }
    const int line = position.line - 1;
    auto *source = dynamic_cast<CSyntaxWindowDoc *>(document);
    if (source) {
        source->GoToLine(line);
    }
    fw::View *view = document->firstView();
    auto *editor = view ? qobject_cast<QPlainTextEdit *>(view->widget()) : nullptr;
    if (!editor) {
        return document;
    }
    // With a column the caret goes there; a line alone is selected, as a compiler message
    // selects it.
    if (position.column > 0) {
        editors::placeCaret(*editor, line, position.column);
    } else if (!source) {
        editors::selectLine(*editor, line);
    }
    return document;
}

void CKetrelApp::registerDocTemplates() {
    auto source = std::make_unique<fw::DocTemplate>(
        ResourceId::JavaSource, m_tables->string(ResourceId::JavaSource),
        [] { return std::make_unique<CSyntaxWindowDoc>(); },
        frameWith<CChildFrame, CSyntaxWindowView>());
    source->setExtraExtensions({QStringLiteral(".jav")});
    addDocTemplate(std::move(source));

    addDocTemplate(std::make_unique<fw::DocTemplate>(
        ResourceId::JavaProject, m_tables->string(ResourceId::JavaProject),
        [] { return std::make_unique<CJavaProjectDoc>(); },
        frameWith<CProjectFrame, CJavaProjectView>()));

    auto html = std::make_unique<fw::DocTemplate>(
        ResourceId::Html, m_tables->string(ResourceId::Html),
        [] { return std::make_unique<CEditWebDoc>(); }, frameWith<CWebFrame, CEditWebView>());
    html->setExtraExtensions({QStringLiteral(".htm")});
    addDocTemplate(std::move(html));
}

void CKetrelApp::registerCommands() {
    addCommand(CommandId::FileNew, [this] { NewSourceDocument(kSourceDocName); });
    addCommand(CommandId::FileOpen, [this] { promptAndOpen(); });
    addCommand(CommandId::FilePrintSetup, [this] {
        QPageSetupDialog dialog(&printer(), m_mainFrame.get());
        fw::prompter().runDialog(dialog);
    });
    addCommand(CommandId::SaveAll, [this] { SaveAllDocuments(); });
    addCommand(CommandId::Help, [this] { LaunchHelp(); });
    addCommand(CommandId::Preferences, [this] { EditPreferences(); });
    addCommand(CommandId::TipOfTheDay, [this] { ShowTipOfTheDay(false); });
    addCommand(CommandId::AppExit, [this] {
        if (m_mainFrame) {
            m_mainFrame->close();
        }
    });
    addCommand(CommandId::NewProject, [this] { NewProject(); });
    addCommand(CommandId::RecentProjects, [this] { ShowRecentProjects(); });
    addCommand(CommandId::AppAbout, [this] { ShowAbout(); });

    // The build and run commands reach the open project from any window.
    addCommand(CommandId::Build, [this] {
        if (CJavaProjectDoc *project = GetProjectDoc()) {
            project->Build();
        }
    });
    addCommand(CommandId::RunApplication, [this] {
        if (CJavaProjectDoc *project = GetProjectDoc()) {
            project->RunMain(false);
        }
    });
    addCommand(CommandId::RunWithConsole, [this] {
        if (CJavaProjectDoc *project = GetProjectDoc()) {
            project->RunMain(true);
        }
    });
    addCommand(CommandId::RunApplet, [this] {
        if (CJavaProjectDoc *project = GetProjectDoc()) {
            project->RunApplet();
        }
    });

    addCommand(CommandId::NextMessage, [this] {
        if (CJavaProjectDoc *project = GetProjectDoc()) {
            project->GoToMessage(true);
        }
    });
    addCommand(CommandId::PreviousMessage, [this] {
        if (CJavaProjectDoc *project = GetProjectDoc()) {
            project->GoToMessage(false);
        }
    });
    // Build > Stop: what the output window's Stop button does, from any window.
    addCommand(CommandId::StopRun, [this] {
        if (CJavaProjectDoc *project = GetProjectDoc()) {
            project->m_pOutputWnd->StopRun();
        }
    });
    addUpdate(CommandId::StopRun, [this](fw::CommandUi &ui) {
        ui.setEnabled(IsProcessRunning() && GetProjectDoc() != nullptr);
    });
    const auto projectWithMessages = [this](fw::CommandUi &ui) {
        CJavaProjectDoc *project = GetProjectDoc();
        ui.setEnabled(project && project->HasMessages());
    };
    addUpdate(CommandId::NextMessage, projectWithMessages);
    addUpdate(CommandId::PreviousMessage, projectWithMessages);

    const auto projectAndNoTool = [this](fw::CommandUi &ui) {
        ui.setEnabled(!IsProcessRunning() && GetProjectDoc() != nullptr);
    };
    addUpdate(CommandId::Build, projectAndNoTool);
    addUpdate(CommandId::Compile, projectAndNoTool);
    addUpdate(CommandId::RunApplication, projectAndNoTool);
    addUpdate(CommandId::RunApplet, [this](fw::CommandUi &ui) {
        CJavaProjectDoc *project = GetProjectDoc();
        ui.setEnabled(!IsProcessRunning() && project && !project->m_strHtmlPath.isEmpty());
    });
    addUpdate(CommandId::RunWithConsole,
              [this](fw::CommandUi &ui) { ui.setEnabled(GetProjectDoc() != nullptr); });
    // The project's own commands reach it from any window, as they do from the project window:
    // a source window's Project menu adds files, makes the jar or brings the output back.
    for (const int id :
         {CommandId::AddJavaSourceFiles, CommandId::AddHtmlFile, CommandId::AddFolder,
          CommandId::RunSettings, CommandId::Libraries, CommandId::ShowCompilerOutput,
          CommandId::CreateJar, CommandId::ShowArchiveContents}) {
        addCommand(id, [this, id] {
            if (CJavaProjectDoc *project = GetProjectDoc()) {
                project->invokeCommand(id);
            }
        });
        addUpdate(id, [this, id](fw::CommandUi &ui) {
            CJavaProjectDoc *project = GetProjectDoc();
            ui.setEnabled(project != nullptr);
            if (project) {
                project->invokeUpdate(id, ui);
            }
        });
    }
    registerCodebaseCommands();
    registerDebugCommands();
}

fw::Document *CKetrelApp::openDocumentFile(const QString &path) {
    const QString extension = path.section(QLatin1Char('.'), -1);
    if (extension == QLatin1String("jpr")) {
        // The new project is read before the open one is closed: a file that cannot be opened
        // says why and leaves the open project as it is.
        const CJavaProjectDoc *project = GetProjectDoc();
        if (project && QFileInfo(path).absoluteFilePath() != project->pathName()) {
            CJavaProjectDoc trial;
            if (!trial.onOpenDocument(path)) {
                return nullptr;
            }
        }
        if (!CloseProject(path)) {
            return nullptr;
        }
    }
    return frameworkOpenDocumentFile(path);
}

bool CKetrelApp::CloseProject(const QString &path) {
    CJavaProjectDoc *project = GetProjectDoc();
    if (!project) {
        return true;
    }
    if (!path.isEmpty() && QFileInfo(path).absoluteFilePath() == project->pathName()) {
        ActivateProjectWindow();
        return false;
    }
    if (fw::prompter().message(QStringLiteral("Do you want to close the current project?"),
                               fw::MessageButtons::OkCancel)
        == fw::Answer::Cancel) {
        return false;
    }
    fw::View *view = project->firstView();
    const bool mayClose =
        view && view->frame() ? project->canCloseFrame(view->frame()) : project->saveModified();
    if (!mayClose) {
        return false;
    }
    project->onCloseDocument();
    return true;
}

CJavaProjectDoc *CKetrelApp::GetProjectDoc() {
    if (m_mainFrame) {
        if (auto *active = dynamic_cast<CJavaProjectDoc *>(m_mainFrame->activeDocument())) {
            return active;
        }
    }
    for (const auto &docTemplate : docTemplates()) {
        if (docTemplate->docName() == kProjectDocName) {
            return dynamic_cast<CJavaProjectDoc *>(docTemplate->firstDocument());
        }
    }
    return nullptr;
}

void CKetrelApp::ActivateProjectWindow() {
    if (CJavaProjectDoc *project = GetProjectDoc()) {
        if (fw::View *view = project->firstView(); view && view->frame()) {
            view->frame()->activateFrame();
        }
    }
}

bool CKetrelApp::NewSourceDocument(const QString &docName) {
    for (const auto &docTemplate : docTemplates()) {
        if (docTemplate->docName() == docName) {
            docTemplate->openDocumentFile(QString());
            return true;
        }
    }
    return false;
}

void CKetrelApp::SaveAllDocuments() {
    saveAllDocuments();
}

void CKetrelApp::ShowRecentProjects() {
    CRecentProjectsDialog dialog(m_settings.recentProjects, m_mainFrame.get());
    if (fw::prompter().runDialog(dialog) == QDialog::Accepted) {
        openDocumentFile(dialog.chosen());
    }
}

void CKetrelApp::ShowAbout() {
    CAboutDialog dialog(m_mainFrame.get());
    fw::prompter().runDialog(dialog);
}

void CKetrelApp::SaveSourceFont() {
    m_settings.SaveSourceFont(profile());
}

void CKetrelApp::SaveOutputFont() {
    m_settings.SaveOutputFont(profile());
}

void CKetrelApp::SaveOutputWindowRect(int left, int top, int right, int bottom) {
    m_settings.SaveOutputWindowRect(profile(), left, top, right, bottom);
}

void CKetrelApp::AddRecentProject(const QString &path) {
    m_settings.AddRecentProject(path);
}

void CKetrelApp::SaveLastOpenAndRecent(const QString &path) {
    m_settings.SaveLastOpenAndRecent(profile(), path);
}

void CKetrelApp::setMessageText(const QString &text) {
    if (m_mainFrame) {
        m_mainFrame->setPaneText(CMainFrame::MessagePane, text);
    }
}

void CKetrelApp::showStatusNote(const QString &text) {
    if (m_mainFrame) {
        m_mainFrame->statusBar()->showMessage(text, kStatusNoteMs);
    }
}

void CKetrelApp::setLineText(const QString &text) {
    if (m_mainFrame) {
        m_mainFrame->setPaneText(CMainFrame::LinePane, text);
    }
}

QString CKetrelApp::helpFolder() const {
    const QString beside = m_appFolder + QStringLiteral("/help");
    if (QFileInfo(beside).isDir()) {
        return beside;
    }
    return QDir::cleanPath(m_appFolder + QStringLiteral("/../share/tarvo/help"));
}

bool CKetrelApp::isHelpViewerRunning() const {
    if (m_helpViewerPid <= 0 || ::kill(static_cast<pid_t>(m_helpViewerPid), 0) != 0) {
        return false;
    }
    // The process id may have been given to another program since the viewer ended.
    QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(m_helpViewerPid));
    return !commandLine.open(QIODevice::ReadOnly) || commandLine.readAll().contains("Tester");
}

void CKetrelApp::LaunchHelp() {
    // The viewer started last is still running: it stays the one viewer.
    if (isHelpViewerRunning()) {
        return;
    }
    const QString program = m_settings.jdkFolder + QStringLiteral("/bin/java");
    const QString folder = helpFolder();
    qint64 pid = 0;
    if (!QFileInfo(folder).isDir()
        || !QProcess::startDetached(program, {QStringLiteral("Tester")}, folder, &pid)) {
        fw::prompter().message(QStringLiteral("Failed to laumch external process."));
        return;
    }
    m_helpViewerPid = pid;
}

QString CKetrelApp::tipsFilePath() const {
    return helpFolder() + QStringLiteral("/tips.dat");
}

void CKetrelApp::ShowTipOfTheDay(bool atStartUp) {
    CTipOfTheDayDialog dialog(profile(), tipsFilePath(), *m_tables, m_mainFrame.get());
    if (!atStartUp || dialog.showAtStartUp()) {
        fw::prompter().runDialog(dialog);
    }
}

void CKetrelApp::EditPreferences() {
    QFont sampleFont(m_settings.sourceFontName);
    sampleFont.setPointSizeF(m_settings.sourceFontSize / 10.0);
    CPreferencesDialog dialog(sampleFont, m_mainFrame.get());
    dialog.setValues({m_settings.jdkFolder, m_settings.javacOptions,
                      m_settings.saveBeforeCompile > 0, m_settings.loadLastProject > 0,
                      m_settings.commentColour, m_settings.keywordColour, m_settings.stringColour,
                      m_settings.keepCompilerRunning > 0});
    if (fw::prompter().runDialog(dialog) != QDialog::Accepted) {
        return;
    }
    const CPreferencesDialog::Values values = dialog.values();
    m_settings.jdkFolder = values.jdkFolder;
    m_settings.javacOptions = values.javacOptions;
    m_settings.saveBeforeCompile = values.saveBeforeCompile ? 1 : 0;
    m_settings.loadLastProject = values.loadLastProject ? 1 : 0;
    m_settings.commentColour = values.commentColour;
    m_settings.keywordColour = values.keywordColour;
    m_settings.stringColour = values.stringColour;
    m_settings.keepCompilerRunning = values.keepCompilerRunning ? 1 : 0;
    m_settings.SavePreferences(profile());
    if (m_settings.keepCompilerRunning == 0) {
        endJavaServices();
    }
}
