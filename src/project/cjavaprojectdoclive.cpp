// How the project checks the text of its source windows as it is typed: against the project as
// the compiler would see it, with the unsaved texts of the open windows in place of their files.
#include "project/cjavaprojectdoc.h"

#include "editors/csyntaxwindowdoc.h"
#include "framework/application.h"
#include "framework/doctemplate.h"
#include "model/cjavafile.h"
#include "services/appsettings.h"
#include "services/ideservices.h"
#include "tools/commandline.h"
#include "tools/javapackage.h"
#include "tools/javaservices.h"
#include "tools/jdkcommands.h"

std::optional<LiveCheckSetup> CJavaProjectDoc::LiveCheckFor(const QString &path,
                                                            const QString &text) {
    IdeServices *ide = IdeServices::instance();
    if (!ide || !keepsCompilerRunning() || !m_fileList.FindByPath(path)) {
        return std::nullopt;
    }
    const AppSettings &settings = ide->settings();
    if (!javaServiceCanServe(settings.jdkFolder)) {
        return std::nullopt;
    }
    LiveCheckSetup setup;
    setup.jdkFolder = settings.jdkFolder;
    // The file is checked where Compile would compile it: from its package root when its
    // folders follow its package, else in its own folder, which is also its source path.
    const std::optional<jdk::PackageLayout> layout =
        jdk::packageLayout(path, jdk::declaredPackage(text));
    setup.folder = layout ? layout->root : jdk::folderOf(path);
    setup.request.sourcePath = setup.folder;
    setup.request.options = ExpandArguments(
        SplitCommandLine(QStringLiteral("javac ") + settings.javacOptions), setup.folder);
    setup.request.options.removeFirst();
    if (fw::Application *application = fw::Application::instance()) {
        for (const std::unique_ptr<fw::DocTemplate> &docTemplate : application->docTemplates()) {
            for (fw::Document *document : docTemplate->documents()) {
                auto *source = dynamic_cast<CSyntaxWindowDoc *>(document);
                if (source && source->isModified() && !source->pathName().isEmpty()
                    && source->pathName() != path) {
                    setup.request.overlays.append({source->pathName(), source->editorText()});
                }
            }
        }
    }
    return setup;
}
