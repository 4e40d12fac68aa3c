// Adding many files at once to the project document: a batch of chosen files, or every Java
// file below a folder.
#include "project/cjavaprojectdoc.h"

#include "editors/csyntaxwindowdoc.h"
#include "framework/application.h"
#include "framework/doctemplate.h"
#include "framework/filetree.h"
#include "framework/mainwindow.h"
#include "framework/prompter.h"
#include "model/cjavafile.h"
#include "model/classcollector.h"
#include "project/addfilemessages.h"
#include "tools/jdkcommands.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSet>

#include <utility>

namespace {

// The walk shows its progress only when it takes longer than this.
constexpr int kProgressDelayMs = 500;

QWidget *mainWindow() {
    fw::Application *application = fw::Application::instance();
    return application ? application->mainWindow() : nullptr;
}

// Whether a source window shows the file: its scans of the text shown are what counts.
bool isShownInSourceWindow(const QString &path) {
    fw::Application *application = fw::Application::instance();
    if (!application) {
        return false;
    }
    for (const std::unique_ptr<fw::DocTemplate> &docTemplate : application->docTemplates()) {
        for (fw::Document *document : docTemplate->documents()) {
            if (document->pathName() == path && dynamic_cast<CSyntaxWindowDoc *>(document)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

bool CJavaProjectDoc::AddFiles(const QStringList &paths) {
    // The files whose names are taken, by a project file that still exists or by an earlier
    // file of the batch: one question covers them all.
    QStringList sameNamed;
    QSet<QString> batchNames;
    for (const QString &path : paths) {
        if (m_fileList.FindByPath(path)) {
            continue;
        }
        const QString name = jdk::fileNameOf(path);
        const CJavaFile *held = m_fileList.FindByFileName(name);
        if ((held && QFileInfo::exists(held->GetPath())) || batchNames.contains(name)) {
            sameNamed << path;
        }
        batchNames.insert(name);
    }
    SameName sameName = SameName::Keep;
    if (sameNamed.size() == 1) {
        // One file: the question that names both files.
        sameName = SameName::Ask;
    } else if (!sameNamed.isEmpty()) {
        sameName = fw::prompter().message(addfilemessages::sameNamesQuestion(sameNamed),
                                          fw::MessageButtons::YesNo)
                           == fw::Answer::Yes
                       ? SameName::Replace
                       : SameName::Keep;
    }
    m_refusedFiles = QStringList();
    bool changed = false;
    for (const QString &path : paths) {
        changed = addFile(path, sameName) || changed;
    }
    const QStringList refused = *std::exchange(m_refusedFiles, std::nullopt);
    if (!refused.isEmpty()) {
        fw::prompter().message(addfilemessages::notAddedMessage(refused));
    }
    QStringList added;
    for (const QString &path : paths) {
        if (m_fileList.FindByPath(path)) {
            added << path;
        }
    }
    ScanFilesInBackground(added);
    return changed;
}

void CJavaProjectDoc::AddFolder() {
    const QString folder = fw::prompter().chooseFolder(QStringLiteral("Add Folder"));
    if (folder.isEmpty()) {
        return;
    }
    QProgressDialog progress(QStringLiteral("Looking for Java files in %1").arg(folder),
                             QStringLiteral("Cancel"), 0, 0, mainWindow());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(kProgressDelayMs);
    bool stopped = false;
    const QStringList files = fw::filesBelow(folder, {QStringLiteral("*.java")}, [&](int found) {
        progress.setLabelText(
            QStringLiteral("Looking for Java files in %1\n%2 found").arg(folder).arg(found));
        QCoreApplication::processEvents();
        stopped = progress.wasCanceled();
        return !stopped;
    });
    progress.reset();
    if (stopped) {
        return;
    }
    if (files.isEmpty()) {
        fw::prompter().message(QStringLiteral("No Java files were found in %1.").arg(folder));
        return;
    }
    if (AddFiles(files)) {
        setModifiedFlag(true);
        updateAllViews(nullptr);
    }
}

void CJavaProjectDoc::ScanFilesInBackground(const QStringList &paths) {
    // A scan under way starts again with its files not yet done, followed by the new ones.
    for (const QString &path : paths) {
        if (!m_scanQueue.contains(path)) {
            m_scanQueue << path;
        }
    }
    if (!m_scanQueue.isEmpty()) {
        m_backgroundScan.start(m_scanQueue);
    }
}

void CJavaProjectDoc::takeScannedFiles(const std::shared_ptr<ScannedFiles> &files) {
    bool changed = false;
    for (ScannedFile &scanned : *files) {
        m_scanQueue.removeOne(scanned.path);
        CJavaFile *file = m_fileList.FindByPath(scanned.path);
        if (!file || isShownInSourceWindow(scanned.path)
            || classlist::describe(file->GetClasses()) == classlist::describe(scanned.classes)) {
            continue;
        }
        file->GetClasses() = std::move(scanned.classes);
        changed = true;
    }
    if (changed) {
        setModifiedFlag(true);
        updateAllViews(nullptr);
    }
}
