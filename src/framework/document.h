#pragma once

#include "framework/commandtarget.h"
#include "framework/fileio.h"

#include <QObject>
#include <QString>

#include <vector>

namespace fw {

class DocTemplate;
class Frame;
class View;

// The data behind one or more views: a path name, a title, a modified flag and the views that
// show it. Documents are made and owned by their DocTemplate; a document closes (and is
// deleted later) through onCloseDocument(), after which it has no views and no template.
class Document : public QObject, public CommandTarget {
    Q_OBJECT

public:
    Document();
    ~Document() override;

    DocTemplate *docTemplate() const { return m_template; }

    QString pathName() const { return m_pathName; }
    // Sets the path and the title (the file name); optionally adds the path to the
    // recent-file list, as opening and saving under a new name do.
    void setPathName(const QString &path, bool addToRecentFiles = true);
    // The document's file was renamed on disk to path: the document takes the new path and
    // title and goes on knowing the version of the file it read or last wrote.
    void followRenamedFile(const QString &path);
    QString title() const { return m_title; }
    void setTitle(const QString &title);

    bool isModified() const { return m_modified; }
    void setModifiedFlag(bool modified = true);

    const std::vector<View *> &views() const { return m_views; }
    View *firstView() const { return m_views.empty() ? nullptr : m_views.front(); }
    void addView(View *view);
    void removeView(View *view);
    // Asks every view but the sender to bring itself in line with the document.
    void updateAllViews(View *sender, int hint = 0);

    // Save with the framework's rules: an empty path asks for one with the save dialog, which
    // proposes proposedFileName().
    bool doSave(const QString &path, bool replace = true);
    // The name the save dialog proposes: by default the document's title.
    virtual QString proposedFileName() const { return m_title; }
    // The folder the save dialog opens in; empty for the folder it was last in.
    virtual QString proposedFolder() const { return {}; }
    bool doFileSave();

    // Overridables, in the order the framework calls them.
    virtual bool onNewDocument();
    virtual bool onOpenDocument(const QString &path);
    virtual bool onSaveDocument(const QString &path);
    virtual void onCloseDocument();
    // Asked before the document closes: true when it may close. The framework's rule asks
    // "Save changes to %1?" with Yes, No and Cancel when the document is modified.
    virtual bool saveModified();
    // Asked when a frame of this document closes; only the last frame runs saveModified().
    virtual bool canCloseFrame(Frame *frame);
    // Empties the document's data (before a load, and when a new document starts).
    virtual void deleteContents();
    // Whether "New Window" may show this document in a second view.
    virtual bool supportsMultipleViews() const { return false; }

    bool isClosing() const { return m_closing; }

    // Whether the window offers to read its file again when another program has changed it.
    virtual bool offersReload() const { return false; }
    // When the file was changed on disk since it was read or last written and the document is
    // unmodified, asks whether to read it again and does so on Yes. A No is remembered for that
    // version of the file, so that the question is not asked again until it changes once more.
    void offerReloadIfChangedOnDisk();
    // Reads the file again into the document; false (the user has been told why) when it
    // cannot be read, and then the document keeps its text.
    bool reload();
    // Before a save to path: when path is the file that was read or last written and another
    // program has changed it since, asks "<file> was changed by another program. Save and
    // replace it?". True when the save may go on.
    bool confirmReplacingFileOnDisk(const QString &path);
    // The file the document was read from or last written to; empty for none.
    QString diskPath() const { return m_diskPath; }
    // The version of that file the document read or last wrote.
    FileStamp diskStamp() const { return m_diskStamp; }

Q_SIGNALS:
    void modifiedChanged(bool modified);
    void titleChanged(const QString &title);
    void viewsChanged();

protected:
    // Reading and writing the whole file, used by the default open and save. readContents
    // refuses a file by returning false with a message for the user in *error.
    virtual bool readContents(const QByteArray &bytes, QString *error);
    virtual QByteArray writeContents();
    // Whether readContents would take the bytes; false with a message for the user in *error.
    // Asked before a reload empties the document, so that a refused file changes nothing.
    virtual bool acceptsContents(const QByteArray &bytes, QString *error) const;
    // Called after reload() has read the file again; by default every view is updated.
    virtual void onReloaded();
    // The largest file the document opens.
    virtual qint64 maxFileSize() const { return kMaxOpenFileSize; }
    // Reads the whole file as the open does, remembering which version of it was read; false
    // after telling the user why not.
    bool readFileForOpen(const QString &path, QByteArray *bytes);
    // As readFileForOpen, but the version read is only given in *stamp.
    bool readFile(const QString &path, QByteArray *bytes, FileStamp *stamp);
    // Remembers the version of the file at path that the document now holds.
    void takeDiskVersion(const QString &path, const FileStamp &stamp);

private:
    friend class DocTemplate;
    // Tells the application that the files to watch for changes may differ now.
    void watchedFileChanged();

    DocTemplate *m_template = nullptr;
    QString m_pathName;
    QString m_title;
    bool m_modified = false;
    bool m_closing = false;
    // The file as it was read or last written, and the version whose reload the user declined.
    QString m_diskPath;
    FileStamp m_diskStamp;
    FileStamp m_reloadDeclined;
    std::vector<View *> m_views;
};

} // namespace fw
