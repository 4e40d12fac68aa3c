// New Project: the project of the kind the user chooses, with the files of that kind written
// from the template texts beside the project file.
#include "app/cketrelapp.h"

#include "app/cmainframe.h"
#include "framework/document.h"
#include "framework/prompter.h"
#include "framework/resourcetables.h"
#include "project/cjavaprojectdoc.h"
#include "project/cnewprojectdialog.h"
#include "project/newprojecttemplates.h"
#include "tools/jdkcommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using NewProjectTemplates::ProjectKind;

const QString kProjectDocName = QStringLiteral("JavaProject");
const QString kProjectFilter = QStringLiteral("Java Projects (*.jpr)|*.jpr||");

// Writes a generated file. A file already there is replaced only when the user agrees; a file
// that cannot be written is named with the reason. False when nothing was written. The file
// goes into *created when there was none before, so that a project given up takes it away.
bool writeGeneratedFile(const QString &path, const QString &text, QStringList *created) {
    const bool existed = QFileInfo::exists(path);
    if (existed
        && fw::prompter().message(
               QStringLiteral("%1 already exists. Do you want to replace it?").arg(path),
               fw::MessageButtons::YesNo)
               != fw::Answer::Yes) {
        return false;
    }
    QString error;
    if (!fw::writeFileSafely(path, NewProjectTemplates::fileBytes(text), &error)) {
        fw::prompter().message(QStringLiteral("Could not write %1.\n%2").arg(path, error));
        return false;
    }
    if (!existed) {
        created->append(path);
    }
    return true;
}

} // namespace

void CKetrelApp::NewProject() {
    // 1. The open project goes first, if the user lets it.
    if (!CloseProject()) {
        return;
    }

    // 2. The kind and the main class.
    CNewProjectDialog dialog(m_mainFrame.get());
    dialog.setKind(ProjectKind::Empty);
    dialog.setClassName(CNewProjectDialog::kDefaultClassName);
    if (fw::prompter().runDialog(dialog) != QDialog::Accepted) {
        return;
    }
    const ProjectKind kind = dialog.kind();
    const QString className = dialog.className();

    // 3. A new, untitled project window.
    NewSourceDocument(kProjectDocName);

    // 4. An empty project stays untitled and unsaved.
    if (kind == ProjectKind::Empty) {
        return;
    }

    // 5. Where the project file goes.
    CJavaProjectDoc *project = GetProjectDoc();
    if (!project) {
        return;
    }
    fw::FileDialogOptions options;
    options.defaultExtension = QStringLiteral("jpr");
    options.initialName = className + QStringLiteral(".jpr");
    options.filter = kProjectFilter;
    options.overwritePrompt = true;

    // 7. and 8. The texts, with the user's class in place of the template's.
    const bool applet = kind == ProjectKind::Applet;
    const QString sourceText =
        applet ? NewProjectTemplates::substitute(
            m_tables->string(NewProjectTemplates::kAppletSourceId),
            QLatin1String(NewProjectTemplates::kAppletPlaceholder), className)
               : NewProjectTemplates::substitute(
                   m_tables->string(NewProjectTemplates::kApplicationSourceId),
                   QLatin1String(NewProjectTemplates::kApplicationPlaceholder), className);
    const QString pageText = applet ? NewProjectTemplates::substitute(
                                 m_tables->string(NewProjectTemplates::kAppletPageId),
                                 QLatin1String(NewProjectTemplates::kAppletPlaceholder), className)
                                    : QString();

    // 5., 6., 9. and 12. The project is made whole or not at all: its files go beside the
    // project file, and the project file, written last, takes its path. When a step fails,
    // what this attempt wrote is taken away and the user may choose another place; a user who
    // does not is left with no new project.
    QString projectPath;
    QString sourcePath;
    QString pagePath;
    for (;;) {
        projectPath = fw::prompter().saveFile(options);
        if (projectPath.isEmpty()) {
            return; // cancelled: the untitled project stays
        }
        const QString folder = jdk::folderOf(projectPath);
        sourcePath = folder + QDir::separator() + className + QStringLiteral(".java");
        pagePath = applet ? folder + QDir::separator()
                                + QLatin1String(NewProjectTemplates::kAppletPageName)
                          : QString();
        QStringList created;
        if (writeGeneratedFile(sourcePath, sourceText, &created)
            && (!applet || writeGeneratedFile(pagePath, pageText, &created))
            && project->doSave(projectPath)) {
            break;
        }
        for (const QString &file : created) {
            QFile::remove(file);
        }
        if (fw::prompter().message(QStringLiteral("The new project was not made in %1. Do you "
                                                  "want to choose another place for it?")
                                       .arg(folder),
                                   fw::MessageButtons::YesNo)
            != fw::Answer::Yes) {
            project->onCloseDocument();
            return;
        }
    }

    // 10. and 11. The source opens in a source window and becomes the project's main file.
    OpenDocumentFile(sourcePath);
    project->AddFile(sourcePath);
    // The window scanned its text before the project held the file: it scans again now, so
    // that the tree shows the new class at once.
    project->RefreshFileClasses(sourcePath);
    project->SetMainFile(className + QStringLiteral(".java"));
    if (applet) {
        project->SetHtmlFile(pagePath);
    }

    // 13.
    project->updateAllViews(nullptr);
    project->doSave(project->pathName());
}
