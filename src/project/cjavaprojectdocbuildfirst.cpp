// Run Application and Run Applet on a program whose sources changed since it was last built:
// the question whether to build first, and the run that follows a build that ends well.
#include "project/cjavaprojectdoc.h"

#include "editors/csyntaxwindowdoc.h"
#include "framework/application.h"
#include "framework/doctemplate.h"
#include "framework/prompter.h"
#include "model/cjavaclass.h"
#include "model/cjavafile.h"
#include "services/appsettings.h"
#include "services/ideservices.h"
#include "tools/classfreshness.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/javapackage.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <utility>

namespace {

const QString kBuildFirst =
    QStringLiteral("The program's sources changed since the last build. Build it first?");
// What the output of a run that ended with exit code 0 ends with.
const QString kNoErrors = QStringLiteral("\r\nNo Errors");

// One file, whatever path leads to it.
QString fileKey(const QString &path) {
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? file.absoluteFilePath() : canonical;
}

QString packageOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? jdk::declaredPackage(QString::fromUtf8(file.readAll()))
                                          : QString();
}

QStringList classNamesOf(const CJavaFile &file) {
    QStringList names;
    const CJavaClassList &classes = file.GetClasses();
    for (int index = 0; index < classes.GetCount(); ++index) {
        names << classes.GetAt(index)->GetName();
    }
    return names;
}

} // namespace

bool CJavaProjectDoc::SourcesChangedSinceBuild() {
    QSet<QString> projectFiles;
    for (int index = 0; index < m_fileList.GetCount(); ++index) {
        projectFiles.insert(fileKey(m_fileList.GetAt(index)->GetPath()));
    }
    if (fw::Application *application = fw::Application::instance()) {
        for (const std::unique_ptr<fw::DocTemplate> &docTemplate : application->docTemplates()) {
            for (fw::Document *document : docTemplate->documents()) {
                if (dynamic_cast<CSyntaxWindowDoc *>(document) && document->isModified()
                    && !document->pathName().isEmpty()
                    && projectFiles.contains(fileKey(document->pathName()))) {
                    return true;
                }
            }
        }
    }
    IdeServices *services = IdeServices::instance();
    if (!services) {
        return false;
    }
    const AppSettings &settings = services->settings();
    const QString mainPath = GetFullPath(m_strMainFile);
    // javac runs where Build runs it: a -d folder in the options is relative to that.
    const QString compileFolder =
        m_strMainFile.isEmpty() || mainPath == kNoFile
            ? QString()
            : jdk::compileCommandFor(settings.jdkFolder, settings.javacOptions, mainPath,
                                     m_strMainFile)
                  .folder;
    for (int index = 0; index < m_fileList.GetCount(); ++index) {
        const CJavaFile &file = *m_fileList.GetAt(index);
        const QString classFolder = jdk::classOutputFolder(
            file.GetPath(), packageOf(file.GetPath()), settings.javacOptions, compileFolder);
        const bool isMain = file.GetFileName() == m_strMainFile;
        if (jdk::isNewerThanClasses(file.GetPath(), classFolder, classNamesOf(file), isMain)) {
            return true;
        }
    }
    return false;
}

bool CJavaProjectDoc::RunNowOrAfterBuild(RunAfterBuild run) {
    if (m_runningAfterBuild || !SourcesChangedSinceBuild()) {
        return true;
    }
    switch (fw::prompter().message(kBuildFirst, fw::MessageButtons::YesNoCancel)) {
    case fw::Answer::No:
        return true;
    case fw::Answer::Yes:
        // The build takes the run along only when it starts.
        m_runAfterStartingBuild = run;
        Build();
        m_runAfterStartingBuild.reset();
        return false;
    default:
        return false;
    }
}

void CJavaProjectDoc::RunAfterBuildEnds() {
    const std::optional<RunAfterBuild> run = std::exchange(m_runAfterWatchedBuild, std::nullopt);
    if (!run || !m_pOutputWnd->ShownText().endsWith(kNoErrors)) {
        return;
    }
    // Started once the window has finished with the build that ended.
    QMetaObject::invokeMethod(
        this,
        [this, run] {
            m_runningAfterBuild = true;
            if (*run == RunAfterBuild::Application) {
                RunMain(false);
            } else if (*run == RunAfterBuild::Debug) {
                DebugMain();
            } else {
                RunApplet();
            }
            m_runningAfterBuild = false;
        },
        Qt::QueuedConnection);
}
