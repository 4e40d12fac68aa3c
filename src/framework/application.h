#pragma once

#include "framework/commandtarget.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QPrinter;

namespace fw {

class DocTemplate;
class Document;
class FileChangeWatcher;
class MainWindow;
class Profile;
class RecentFileList;

// The application object: the document templates in registration order, the main window,
// settings access, the recent-file list and the framework's file commands. One exists at a
// time; instance() finds it.
class Application : public QObject, public CommandTarget {
    Q_OBJECT

public:
    explicit Application(std::unique_ptr<Profile> profile);
    ~Application() override;

    static Application *instance();

    Profile &profile() { return *m_profile; }
    RecentFileList &recentFiles() { return *m_recentFiles; }
    QPrinter &printer();

    void addDocTemplate(std::unique_ptr<DocTemplate> docTemplate);
    const std::vector<std::unique_ptr<DocTemplate>> &docTemplates() const { return m_templates; }

    MainWindow *mainWindow() const { return m_mainWindow; }
    void setMainWindow(MainWindow *mainWindow) { m_mainWindow = mainWindow; }

    // Opens a file with the template that suits it best; a file that is already open only has
    // its window brought forward. Returns the document or none.
    virtual Document *openDocumentFile(const QString &path);
    // The same without any override of the application: the framework's own open.
    Document *frameworkOpenDocumentFile(const QString &path);

    // The exit check: every document's save rule in turn; false when one says no.
    bool saveAllModified();
    void closeAllDocuments();
    // Every template saves its modified documents; Cancel stops only that template's rest.
    void saveAllDocuments();

    // Offers to read again every unmodified window whose file another program has changed.
    // Runs whenever Tarvo becomes the active application again.
    void checkFilesChangedOnDisk();
    // Watches the files the open documents were read from or written to, so that a change made
    // while Tarvo is active is offered at once; documents call it when their file changes.
    void updateWatchedFiles();
    const FileChangeWatcher &fileWatcher() const { return *m_fileWatcher; }

    // The framework's Open command: the open dialog with every template's filter.
    void promptAndOpen();
    // The filter of the open dialog, in the dialog filter form "name|patterns|...||".
    QString openFilter() const;

private:
    void openRecentFile(int id);

    std::unique_ptr<Profile> m_profile;
    std::unique_ptr<RecentFileList> m_recentFiles;
    std::unique_ptr<QPrinter> m_printer;
    std::vector<std::unique_ptr<DocTemplate>> m_templates;
    MainWindow *m_mainWindow = nullptr;
    bool m_checkingFiles = false;
    std::unique_ptr<FileChangeWatcher> m_fileWatcher;
};

} // namespace fw
