// The project's run settings and libraries: the dialogs that edit them and the file beside the
// project file that keeps them.
#include "project/cjavaprojectdoc.h"

#include "framework/application.h"
#include "framework/mainwindow.h"
#include "framework/prompter.h"
#include "model/cjavafile.h"
#include "project/clibrariesdialog.h"
#include "project/crunsettingsdialog.h"
#include "project/projectsettings.h"

#include <QTimer>

namespace {

QWidget *dialogParent() {
    fw::Application *application = fw::Application::instance();
    return application ? application->mainWindow() : nullptr;
}

} // namespace

bool CJavaProjectDoc::setRunOptions(const jdk::RunOptions &options) {
    m_runOptions = options;
    if (pathName().isEmpty()) {
        return true;
    }
    QString error;
    if (!projectsettings::store(pathName(), m_runOptions, &error)) {
        fw::prompter().message(
            QStringLiteral("The run settings and libraries could not be saved.\n%1").arg(error));
        return false;
    }
    return true;
}

void CJavaProjectDoc::EditRunSettings() {
    CRunSettingsDialog dialog(dialogParent());
    dialog.setOptions(m_runOptions);
    if (fw::prompter().runDialog(dialog) == QDialog::Accepted) {
        setRunOptions(dialog.options());
    }
}

void CJavaProjectDoc::EditLibraries() {
    CLibrariesDialog dialog(dialogParent());
    dialog.setLibraries(m_runOptions.libraries);
    if (fw::prompter().runDialog(dialog) == QDialog::Accepted) {
        jdk::RunOptions options = m_runOptions;
        options.libraries = dialog.libraries();
        setRunOptions(options);
    }
}

bool CJavaProjectDoc::onOpenDocument(const QString &path) {
    if (!fw::Document::onOpenDocument(path)) {
        return false;
    }
    m_runOptions = projectsettings::load(path);
    FindMovedFiles(path);
    // Once the project is open: a project only read to be tried is gone by then.
    QTimer::singleShot(0, this, [this] {
        QStringList paths;
        for (int index = 0; index < m_fileList.GetCount(); ++index) {
            paths << m_fileList.GetAt(index)->GetPath();
        }
        ScanFilesInBackground(paths);
    });
    return true;
}

bool CJavaProjectDoc::onSaveDocument(const QString &path) {
    const bool moved = path != pathName();
    if (!fw::Document::onSaveDocument(path)) {
        return false;
    }
    // Saved under a new name, the project takes its settings along.
    QString error;
    if (moved && !projectsettings::isEmpty(m_runOptions)
        && !projectsettings::store(path, m_runOptions, &error)) {
        fw::prompter().message(
            QStringLiteral("The run settings and libraries could not be saved.\n%1").arg(error));
    }
    return true;
}
