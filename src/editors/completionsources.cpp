#include "editors/completionsources.h"

#include "editors/colourclassstore.h"
#include "editors/completioncontroller.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "editors/sourceproject.h"
#include "framework/application.h"
#include "framework/doctemplate.h"
#include "services/appsettings.h"
#include "services/ideservices.h"
#include "tools/commandline.h"
#include "tools/javapackage.h"
#include "tools/javaservices.h"
#include "tools/jdkcommands.h"

#include <QDir>
#include <QTextBlock>

namespace {

// Every open Java source document.
QList<CSyntaxWindowDoc *> openSourceDocuments() {
    QList<CSyntaxWindowDoc *> documents;
    if (fw::Application *application = fw::Application::instance()) {
        for (const std::unique_ptr<fw::DocTemplate> &docTemplate : application->docTemplates()) {
            for (fw::Document *document : docTemplate->documents()) {
                if (auto *source = dynamic_cast<CSyntaxWindowDoc *>(document)) {
                    documents.append(source);
                }
            }
        }
    }
    return documents;
}

SourceProject *openProject() {
    IdeServices *ide = IdeServices::instance();
    return ide ? dynamic_cast<SourceProject *>(ide->GetProjectDoc()) : nullptr;
}

// A file outside the project is completed against its own folder (its package root when its
// folders follow its package); a window never saved, against nothing but the JDK.
std::optional<LiveCheckSetup> standaloneSetup(const QString &path, const QString &text) {
    const AppSettings &settings = IdeServices::instance()->settings();
    if (!javaServiceCanServe(settings.jdkFolder)) {
        return std::nullopt;
    }
    LiveCheckSetup setup;
    setup.jdkFolder = settings.jdkFolder;
    if (path.isEmpty()) {
        setup.folder = QDir::tempPath();
        setup.request.path = setup.folder + QStringLiteral("/Untitled.java");
        return setup;
    }
    const std::optional<jdk::PackageLayout> layout =
        jdk::packageLayout(path, jdk::declaredPackage(text));
    setup.folder = layout ? layout->root : jdk::folderOf(path);
    setup.request.path = path;
    setup.request.sourcePath = setup.folder;
    setup.request.options = ExpandArguments(
        SplitCommandLine(QStringLiteral("javac ") + settings.javacOptions), setup.folder);
    setup.request.options.removeFirst();
    return setup;
}

std::optional<LiveCheckSetup> serviceSetup(CSyntaxWindowView &view, const QString &text) {
    CSyntaxWindowDoc *document = view.sourceDocument();
    if (!document || !IdeServices::instance() || !keepsCompilerRunning()) {
        return std::nullopt;
    }
    const QString path = document->pathName();
    if (SourceProject *project = openProject(); project && !path.isEmpty()) {
        if (std::optional<LiveCheckSetup> setup = project->LiveCheckFor(path, text)) {
            setup->request.path = path;
            return setup;
        }
    }
    return standaloneSetup(path, text);
}

QList<editors::CompletionItem> scannedCompletions(const QString &typedWord) {
    QStringList entries;
    if (SourceProject *project = openProject()) {
        entries = project->ScannedEntries();
    }
    const QList<CSyntaxWindowDoc *> documents = openSourceDocuments();
    QStringList texts;
    for (CSyntaxWindowDoc *document : documents) {
        entries.append(document->entries());
        texts.append(document->editorText());
    }
    return editors::scannedCompletions(entries, QList<QStringView>(texts.cbegin(), texts.cend()),
                                       typedWord);
}

bool isCode(CSyntaxWindowView &view, int position) {
    CSyntaxWindowDoc *document = view.sourceDocument();
    if (!document) {
        return true;
    }
    const QTextBlock block = view.document()->findBlock(position);
    const ColourClassStore &store = document->colourClasses();
    if (!block.isValid() || block.blockNumber() >= store.lineCount()) {
        return true;
    }
    const editors::ColourClasses &classes = store.lineClasses(block.blockNumber());
    const auto column = std::size_t(position - block.position());
    return column >= classes.size()
           || (classes[column] != editors::ColourClass::Comment
               && classes[column] != editors::ColourClass::String);
}

} // namespace

CompletionController *attachCompletion(CSyntaxWindowView &view) {
    return new CompletionController(
        &view, &view, [&view](const QString &text) { return serviceSetup(view, text); },
        scannedCompletions, [&view](int position) { return isCode(view, position); });
}
