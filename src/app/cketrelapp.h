#pragma once

#include "app/findinfiles.h"
#include "framework/application.h"
#include "project/cjavaprojectdoc.h"
#include "services/appsettings.h"
#include "services/ideservices.h"

#include <QPointer>
#include <QStringList>

#include <memory>

class CMainFrame;
class Debugging;

class PlainTextDocument;

namespace fw {
class DocTemplate;
class RecoveryStore;
class RecoveryWriter;
class ResourceTables;
struct RecoveryEntry;
} // namespace fw

// The application object: owns the settings, registers the three document types, makes the
// main window, opens what it is asked to, knows the one open project, and handles the commands
// that need no particular window.
class CKetrelApp : public fw::Application, public IdeServices {
    Q_OBJECT

public:
    explicit CKetrelApp(std::unique_ptr<fw::Profile> profile);
    ~CKetrelApp() override;

    static CKetrelApp *instance();

    // Start-up: settings, templates, main window, the files named on the command line, the
    // last project and the tip of the day. False when start-up fails (the program then ends).
    bool InitInstance(const QStringList &files);

    AppSettings &settings() override { return m_settings; }
    QString appFolder() const override { return m_appFolder; }
    // The program's folder is found at start-up; a host that keeps the data files elsewhere
    // (the tests do) may point it there.
    void setAppFolder(const QString &folder) { m_appFolder = folder; }
    const fw::ResourceTables &tables() const { return *m_tables; }
    CMainFrame *mainFrame() const;

    // Opening a project (an extension of exactly "jpr") first closes the open one.
    fw::Document *openDocumentFile(const QString &path) override;
    fw::Document *OpenDocumentFile(const QString &path) override { return openDocumentFile(path); }
    // True when the caller may go on: no project was open, or it was closed. A path equal to the
    // open project's only brings its window forward (and gives false).
    bool CloseProject(const QString &path = QString());
    CJavaProjectDoc *GetProjectDoc() override;
    void ActivateProjectWindow() override;
    bool NewSourceDocument(const QString &docName);
    void SaveAllDocuments() override;

    QString toolCaption() const override { return m_toolCaption; }
    void setToolCaption(const QString &caption) override { m_toolCaption = caption; }

    void SaveSourceFont() override;
    void SaveOutputFont() override;
    void SaveOutputWindowRect(int left, int top, int right, int bottom) override;
    void AddRecentProject(const QString &path) override;
    void SaveLastOpenAndRecent(const QString &path) override;
    void setMessageText(const QString &text) override;
    void setLineText(const QString &text) override;
    // Shown over the message pane for a while.
    void showStatusNote(const QString &text) override;
    static constexpr int kStatusNoteMs = 15000;

    // Opens a file named on the command line or handed over by a later start. A name that is
    // no file but ends in ":LINE" or ":LINE:COLUMN" opens that file there.
    fw::Document *OpenFileArgument(const QString &argument);

    // Opens the files a later start of Tarvo handed over and brings the main window forward.
    // While a modal dialog or message box is up they wait, so that nothing is opened in the
    // middle of a question; so do files that arrive before start-up has finished.
    void OpenHandedFiles(const QStringList &paths);

    // Reopens, in their order, the source and HTML windows that were open with that project
    // when Tarvo last closed; files that are gone are skipped silently.
    void ReopenProjectWindows(const QString &projectPath);

    // Starts the help viewer, or leaves the one already started running.
    void LaunchHelp();

    // "New Project...": closes the open project, asks for the kind and the main class, and
    // makes the project with the files of its kind beside the project file.
    void NewProject();
    // "Recent Projects...": opens the project chosen from the recent projects.
    void ShowRecentProjects();
    // "About Tarvo".
    void ShowAbout();

    // Where data files (the help folder) are: beside the program, or in the installed share
    // folder.
    QString helpFolder() const;

    // "Preferences...": the dialog filled from the settings; OK writes its seven values.
    void EditPreferences();
    // The tip of the day, made and destroyed each time so that every start moves on by one tip.
    // At start-up it is shown only while the user has not switched tips off.
    void ShowTipOfTheDay(bool atStartUp);
    QString tipsFilePath() const;

    // Crash recovery. Keeps a recovery copy of every modified source and HTML window from the
    // start on.
    void StartRecovery();
    // Offers the texts of a Tarvo that ended without closing its windows: "Tarvo did not close
    // properly. Recover N unsaved files?". Yes brings each back in a window marked modified over
    // its file (which is not written until the user saves), beside a read-only "NAME (on disk)"
    // window with the file's current text when another program has changed the file since; a
    // text never saved comes back in a new untitled window. No drops them.
    void OfferRecoveredTexts();
    // Stops keeping copies and removes this session's; its windows are closed by then.
    void EndRecovery();
    void RestoreRecoveredText(const fw::RecoveryEntry &entry);

private:
    // The template of a recovered window's kind; a kind no longer known comes back as source.
    fw::DocTemplate *recoveryTemplate(const QString &kind) const;
    void ShowTextOnDisk(fw::DocTemplate &docTemplate, const QString &path, const QString &text);

    void registerDocTemplates();
    void registerCommands();
    // Add Folder, Run Settings, Libraries and Find in Files, and F4 through find results.
    void registerCodebaseCommands();
    // Debug Application, Continue, the steps, Stop Debugging and Toggle Breakpoint.
    void registerDebugCommands();
    FindInFiles::Context findInFilesContext();

    AppSettings m_settings;
    QString m_appFolder;
    QString m_toolCaption;
    std::unique_ptr<fw::ResourceTables> m_tables;
    std::unique_ptr<CMainFrame> m_mainFrame;
    std::unique_ptr<FindInFiles> m_findInFiles;
    std::unique_ptr<fw::RecoveryStore> m_recoveryStore;
    std::unique_ptr<fw::RecoveryWriter> m_recoveryWriter;
    std::unique_ptr<Debugging> m_debugging;
    void openPendingHandedFiles();
    bool isHelpViewerRunning() const;

    qint64 m_helpViewerPid = 0;
    QStringList m_handedFiles;
    bool m_started = false;
};
