#include "framework/document.h"

#include "framework/application.h"
#include "framework/commandids.h"
#include "framework/doctemplate.h"
#include "framework/frame.h"
#include "framework/prompter.h"
#include "framework/recentfilelist.h"
#include "framework/view.h"

#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>

#include <algorithm>

namespace fw {

Document::Document() {
    addCommand(CommandId::FileSave, [this] { doFileSave(); });
    addCommand(CommandId::FileSaveAs, [this] { doSave(QString()); });
    addCommand(CommandId::FileClose, [this] {
        if (saveModified()) {
            onCloseDocument();
        }
    });
}

Document::~Document() {
    for (View *view : m_views) {
        view->m_document = nullptr;
    }
}

void Document::setPathName(const QString &path, bool addToRecentFiles) {
    m_pathName = path;
    setTitle(QFileInfo(path).fileName());
    if (addToRecentFiles && !path.isEmpty()) {
        if (Application *application = Application::instance()) {
            application->recentFiles().add(path);
        }
    }
}

void Document::followRenamedFile(const QString &path) {
    if (!m_diskPath.isEmpty() && m_diskPath == QFileInfo(m_pathName).absoluteFilePath()) {
        m_diskPath = QFileInfo(path).absoluteFilePath();
    }
    setPathName(path, false);
}

void Document::setTitle(const QString &title) {
    if (m_title == title) {
        return;
    }
    m_title = title;
    Q_EMIT titleChanged(title);
}

void Document::setModifiedFlag(bool modified) {
    if (m_modified == modified) {
        return;
    }
    m_modified = modified;
    Q_EMIT modifiedChanged(modified);
}

void Document::addView(View *view) {
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) {
        m_views.push_back(view);
        view->m_document = this;
    }
}

void Document::removeView(View *view) {
    std::erase(m_views, view);
    view->m_document = nullptr;
    Q_EMIT viewsChanged();
}

void Document::updateAllViews(View *sender, int hint) {
    // A copy: an update may close a view.
    const std::vector<View *> views = m_views;
    for (View *view : views) {
        if (view != sender) {
            view->onUpdate(sender, hint);
        }
    }
}

bool Document::onNewDocument() {
    deleteContents();
    m_pathName.clear();
    setModifiedFlag(false);
    return true;
}

bool Document::onOpenDocument(const QString &path) {
    QByteArray bytes;
    if (!readFileForOpen(path, &bytes)) {
        return false;
    }
    deleteContents();
    QString error;
    if (!readContents(bytes, &error)) {
        deleteContents();
        prompter().message(error);
        return false;
    }
    setModifiedFlag(false);
    return true;
}

bool Document::readFileForOpen(const QString &path, QByteArray *bytes) {
    FileStamp stamp;
    if (!readFile(path, bytes, &stamp)) {
        return false;
    }
    takeDiskVersion(path, stamp);
    return true;
}

bool Document::readFile(const QString &path, QByteArray *bytes, FileStamp *stamp) {
    QString error;
    if (!readWholeFile(path, bytes, &error, maxFileSize(), stamp)) {
        prompter().message(QStringLiteral("Cannot open %1.\n%2").arg(path, error));
        return false;
    }
    return true;
}

void Document::takeDiskVersion(const QString &path, const FileStamp &stamp) {
    m_diskPath = QFileInfo(path).absoluteFilePath();
    m_diskStamp = stamp;
    m_reloadDeclined = {};
    watchedFileChanged();
}

bool Document::onSaveDocument(const QString &path) {
    if (!confirmReplacingFileOnDisk(path)) {
        return false;
    }
    QString error;
    if (!writeFileSafely(path, writeContents(), &error)) {
        prompter().message(QStringLiteral("Failed to save %1.\n%2").arg(path, error));
        return false;
    }
    m_diskPath = QFileInfo(path).absoluteFilePath();
    m_diskStamp = FileStamp::of(path);
    m_reloadDeclined = {};
    watchedFileChanged();
    setModifiedFlag(false);
    return true;
}

bool Document::confirmReplacingFileOnDisk(const QString &path) {
    if (m_diskPath.isEmpty() || QFileInfo(path).absoluteFilePath() != m_diskPath) {
        return true;
    }
    // A file that is gone holds no other version that a save could destroy.
    const FileStamp now = FileStamp::of(path);
    if (!now.exists || now == m_diskStamp) {
        return true;
    }
    return prompter().message(
               QStringLiteral("%1 was changed by another program. Save and replace it?").arg(path),
               MessageButtons::YesNo)
           == Answer::Yes;
}

void Document::offerReloadIfChangedOnDisk() {
    if (!offersReload() || isModified() || m_closing || m_pathName.isEmpty()
        || QFileInfo(m_pathName).absoluteFilePath() != m_diskPath) {
        return;
    }
    const FileStamp now = FileStamp::of(m_pathName);
    if (!now.exists || now == m_diskStamp || now == m_reloadDeclined) {
        return;
    }
    const Answer answer = prompter().message(
        QStringLiteral("%1 was changed by another program. Reload it?").arg(m_pathName),
        MessageButtons::YesNo);
    // The document may have been edited or closed while the question was up.
    // A version that cannot be read in is not offered again either.
    if (answer != Answer::Yes || isModified() || m_closing || !reload()) {
        m_reloadDeclined = now;
    }
}

bool Document::reload() {
    // Until the new version is taken, the document keeps knowing the one it holds: a refused
    // file leaves the text, the modified flag and the version a save compares with as they were.
    QByteArray bytes;
    FileStamp stamp;
    if (!readFile(m_pathName, &bytes, &stamp)) {
        return false;
    }
    QString error;
    if (!acceptsContents(bytes, &error)) {
        prompter().message(error);
        return false;
    }
    const bool wasModified = isModified();
    const QByteArray shown = writeContents();
    deleteContents();
    if (!readContents(bytes, &error)) {
        deleteContents();
        QString ignored;
        readContents(shown, &ignored);
        setModifiedFlag(wasModified);
        prompter().message(error);
        return false;
    }
    takeDiskVersion(m_pathName, stamp);
    setModifiedFlag(false);
    onReloaded();
    return true;
}

void Document::onReloaded() {
    updateAllViews(nullptr);
}

void Document::watchedFileChanged() {
    if (Application *application = Application::instance(); application && offersReload()) {
        application->updateWatchedFiles();
    }
}

void Document::onCloseDocument() {
    m_closing = true;
    // The frames go first; their views are detached at once and deleted with them once
    // control returns to the event loop (a frame may be in the middle of its own close).
    const std::vector<View *> views = m_views;
    for (View *view : views) {
        removeView(view);
        if (Frame *frame = view->frame()) {
            if (QMdiSubWindow *subWindow = frame->subWindow()) {
                subWindow->hide();
                subWindow->deleteLater();
            } else {
                frame->hide();
                frame->deleteLater();
            }
        }
    }
    deleteContents();
    if (m_template) {
        m_template->releaseDocument(this);
    } else {
        deleteLater();
    }
}

bool Document::saveModified() {
    if (!isModified()) {
        return true;
    }
    const Answer answer = prompter().message(QStringLiteral("Save changes to %1?").arg(m_title),
                                             MessageButtons::YesNoCancel);
    switch (answer) {
    case Answer::Yes:
        return doFileSave();
    case Answer::No:
        return true;
    default:
        return false;
    }
}

bool Document::canCloseFrame(Frame *frame) {
    const bool lastView = std::none_of(m_views.begin(), m_views.end(),
                                       [frame](View *view) { return view->frame() != frame; });
    return !lastView || saveModified();
}

void Document::deleteContents() {}

bool Document::doSave(const QString &path, bool replace) {
    QString target = path;
    if (target.isEmpty()) {
        FileDialogOptions options;
        if (m_template) {
            const QString extension = m_template->field(DocTemplate::Field::FilterExtension);
            options.defaultExtension = extension.mid(1);
            options.filter = m_template->field(DocTemplate::Field::FilterName) + QLatin1Char('|')
                             + QLatin1Char('*') + extension + QStringLiteral("||");
        }
        options.initialName = proposedFileName();
        options.initialFolder = proposedFolder();
        options.overwritePrompt = true;
        target = prompter().saveFile(options);
        if (target.isEmpty()) {
            return false;
        }
    }
    if (!onSaveDocument(target)) {
        return false;
    }
    if (replace) {
        setPathName(target);
    }
    return true;
}

bool Document::doFileSave() {
    if (m_pathName.isEmpty()) {
        return doSave(QString());
    }
    return doSave(m_pathName);
}

bool Document::readContents(const QByteArray &, QString *) {
    return true;
}

bool Document::acceptsContents(const QByteArray &, QString *) const {
    return true;
}

QByteArray Document::writeContents() {
    return {};
}

} // namespace fw
