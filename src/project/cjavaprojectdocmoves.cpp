// A project whose folder was renamed, copied, cloned or brought from Windows: the files found
// where the move put them.
#include "project/cjavaprojectdoc.h"

#include "framework/prompter.h"
#include "model/cjavafile.h"
#include "project/projectrelocation.h"
#include "services/ideservices.h"

#include <QFileInfo>
#include <QTimer>

void CJavaProjectDoc::FindMovedFiles(const QString &projectPath) {
    projectrelocation::ProjectPaths stored;
    for (int index = 0; index < m_fileList.GetCount(); ++index) {
        stored.files << m_fileList.GetAt(index)->GetPath();
    }
    stored.htmlPath = m_strHtmlPath;
    stored.mainFolder = m_strMainFolder;
    const CJavaFile *mainFile = m_fileList.FindByFileName(m_strMainFile);
    const QString storedFolder =
        projectrelocation::storedProjectFolder(stored, mainFile ? mainFile->GetPath() : QString());
    const projectrelocation::Relocation found =
        projectrelocation::relocate(stored, storedFolder, QFileInfo(projectPath).absolutePath(),
                                    [](const QString &path) { return QFileInfo::exists(path); });

    for (int index = 0; index < m_fileList.GetCount(); ++index) {
        m_fileList.GetAt(index)->SetPath(found.paths.files[index]);
    }
    m_strHtmlPath = found.paths.htmlPath;
    m_strMainFolder = found.paths.mainFolder;
    // Saving stores where the files are now; a project whose files are all where it says stays
    // unmodified, byte for byte.
    if (found.filesFound > 0 || found.paths.mainFolder != stored.mainFolder) {
        setModifiedFlag(true);
    }
    // Told once the project is open: a project only read to be tried is gone by then, and says
    // nothing.
    QTimer::singleShot(0, this, [filesFound = found.filesFound, missing = found.missing] {
        if (filesFound > 0) {
            if (IdeServices *services = IdeServices::instance()) {
                services->showStatusNote(projectrelocation::foundNote(filesFound));
            }
        }
        if (!missing.isEmpty()) {
            fw::prompter().message(projectrelocation::missingMessage(missing));
        }
    });
}
