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
#include <QFileInfo>

namespace {

using NewProjectTemplates::ProjectKind;

const QString kProjectDocName = QStringLiteral("JavaProject");
const QString kProjectFilter = QStringLiteral("Java Projects (*.jpr)|*.jpr||");

// Writes a generated file. A file already there is replaced only when the user agrees; a file
// that cannot be written is named with the reason. False when nothing was written.
bool writeGeneratedFile(const QString &path, const QString &text) {
    if (QFileInfo::exists(path)
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
    const QString projectPath = fw::prompter().saveFile(options);
    if (projectPath.isEmpty()) {
        return;
    }

    // 6. The still empty project is saved there and takes the path (and joins the recent
    // files); a failed save has been reported.
    if (!project->doSave(projectPath)) {
        return;
    }

    // 7. The main class's source file goes beside the project file.
    const QString folder = jdk::folderOf(projectPath);
    const QString sourcePath = folder + QDir::separator() + className + QStringLiteral(".java");

    // 8. The texts, with the user's class in place of the template's.
    const bool applet = kind == ProjectKind::Applet;
    const QString sourceText =
        applet ? NewProjectTemplates::substitute(
            m_tables->string(NewProjectTemplates::kAppletSourceId),
            QLatin1String(NewProjectTemplates::kAppletPlaceholder), className)
               : NewProjectTemplates::substitute(
                   m_tables->string(NewProjectTemplates::kApplicationSourceId),
                   QLatin1String(NewProjectTemplates::kApplicationPlaceholder), className);

    // 9. The source file; without it the project stays saved and empty.
    if (!writeGeneratedFile(sourcePath, sourceText)) {
        return;
    }

    // 10. and 11. It opens in a source window and becomes the project's main file.
    OpenDocumentFile(sourcePath);
    project->AddFile(sourcePath);
    // The window scanned its text before the project held the file: it scans again now, so
    // that the tree shows the new class at once.
    project->RefreshFileClasses(sourcePath);
    project->SetMainFile(className + QStringLiteral(".java"));

    // 12. An applet's page; without it the project is left modified and unsaved.
    if (applet) {
        const QString pagePath =
            folder + QDir::separator() + QLatin1String(NewProjectTemplates::kAppletPageName);
        const QString pageText = NewProjectTemplates::substitute(
            m_tables->string(NewProjectTemplates::kAppletPageId),
            QLatin1String(NewProjectTemplates::kAppletPlaceholder), className);
        if (!writeGeneratedFile(pagePath, pageText)) {
            return;
        }
        project->SetHtmlFile(pagePath);
    }

    // 13.
    project->updateAllViews(nullptr);
    project->doSave(project->pathName());
}
