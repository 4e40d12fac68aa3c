#pragma once

#include <QString>

class AppSettings;

namespace fw {
class Document;
}

// What the windows and documents of Tarvo need of the application around them: the settings,
// the open project, the caption of the next tool run, saving and opening documents, and the
// status-bar panes. The application object implements it; instance() finds it.
class IdeServices {
public:
    static IdeServices *instance();

    virtual AppSettings &settings() = 0;
    // The program's folder, without a trailing separator.
    virtual QString appFolder() const = 0;

    // The open project document, or none.
    virtual fw::Document *GetProjectDoc() = 0;
    virtual void ActivateProjectWindow() = 0;
    virtual void SaveAllDocuments() = 0;
    virtual fw::Document *OpenDocumentFile(const QString &path) = 0;

    virtual QString toolCaption() const = 0;
    virtual void setToolCaption(const QString &caption) = 0;

    // The settings operations: each writes its group to the store at once.
    virtual void SaveSourceFont() = 0;
    virtual void SaveOutputFont() = 0;
    virtual void SaveOutputWindowRect(int left, int top, int right, int bottom) = 0;
    virtual void AddRecentProject(const QString &path) = 0;
    virtual void SaveLastOpenAndRecent(const QString &path) = 0;

    // Status-bar pane 0 (messages) and pane 1 (the caret line of the active source window).
    virtual void setMessageText(const QString &text) = 0;
    virtual void setLineText(const QString &text) = 0;
    // A note in the status bar that tells the user something once, without asking anything of
    // them; it stays a while over pane 0 and then goes.
    virtual void showStatusNote(const QString &text) { setMessageText(text); }

protected:
    IdeServices();
    virtual ~IdeServices();

    IdeServices(const IdeServices &) = delete;
    IdeServices &operator=(const IdeServices &) = delete;
};
