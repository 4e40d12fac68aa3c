// Renaming a project file: on disk, in the project, and in the window that shows it. A Java file
// keeps a name javac accepts for the public class it declares.
#include "project/cjavaprojectdoc.h"

#include "editors/csyntaxwindowdoc.h"
#include "framework/application.h"
#include "framework/doctemplate.h"
#include "framework/prompter.h"
#include "model/cjavafile.h"
#include "project/newprojecttemplates.h"
#include "tools/javapackage.h"
#include "tools/jdkcommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kJavaExtension = QStringLiteral(".java");

// The open document of a file, whatever path leads to it; none when it is not open.
fw::Document *openDocumentOf(const QString &path) {
    fw::Application *application = fw::Application::instance();
    if (!application) {
        return nullptr;
    }
    const QString wanted = QFileInfo(path).canonicalFilePath();
    for (const std::unique_ptr<fw::DocTemplate> &docTemplate : application->docTemplates()) {
        for (fw::Document *document : docTemplate->documents()) {
            if (!document->pathName().isEmpty()
                && QFileInfo(document->pathName()).canonicalFilePath() == wanted) {
                return document;
            }
        }
    }
    return nullptr;
}

// The Java text of a file as the user sees it: its window's, else the file's.
QString javaTextOf(const QString &path) {
    if (auto *source = dynamic_cast<CSyntaxWindowDoc *>(openDocumentOf(path))) {
        return source->editorText();
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool hasExtension(const QString &name, const QStringList &extensions) {
    for (const QString &extension : extensions) {
        if (name.endsWith(extension) && name.size() > extension.size()) {
            return true;
        }
    }
    return false;
}

// Why a Java file cannot take the name, or nothing when it can.
QString javaNameProblem(const QString &name, const QString &path) {
    if (!hasExtension(name, {kJavaExtension, QStringLiteral(".jav")})) {
        return QStringLiteral("%1 is not a Java source file name: it must end in .java.").arg(name);
    }
    const QString base = name.left(name.lastIndexOf(QLatin1Char('.')));
    const QString publicClass = jdk::declaredPublicClass(javaTextOf(path));
    if (!publicClass.isEmpty() && publicClass != base) {
        return QStringLiteral("%1 cannot hold the public class %2: javac wants a public class in "
                              "a file named after it, %2.java.")
            .arg(name, publicClass);
    }
    if (!NewProjectTemplates::isJavaClassName(base)) {
        return QStringLiteral("%1 cannot name a Java class: the name before .java must begin "
                              "with a letter and hold only letters, digits, '_' and '$', and it "
                              "must not be a word of the Java language.")
            .arg(name);
    }
    return {};
}

} // namespace

bool CJavaProjectDoc::RenameFile(const QString &fileName, const QString &typedName) {
    const bool isHtml = m_fileList.FindByFileName(fileName) == nullptr;
    const QString path = GetFullPath(fileName);
    if (path == kNoFile) {
        return false;
    }
    QString name = typedName.trimmed();
    if (name.isEmpty() || name == fileName) {
        return false;
    }
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        fw::prompter().message(
            QStringLiteral("%1 is not a file name: the file stays in its folder, so give its new "
                           "name without a folder.")
                .arg(name));
        return false;
    }
    // A name typed without an extension keeps the file's.
    if (!name.contains(QLatin1Char('.'))) {
        name += fileName.mid(fileName.lastIndexOf(QLatin1Char('.')));
    }
    const QString problem =
        isHtml ? (hasExtension(name, {QStringLiteral(".html"), QStringLiteral(".htm")})
                      ? QString()
                      : QStringLiteral("%1 is not an HTML file name: it must end in .html or .htm.")
                            .arg(name))
               : javaNameProblem(name, path);
    if (!problem.isEmpty()) {
        fw::prompter().message(problem);
        return false;
    }
    if (m_fileList.HasFileName(name) || (!m_strHtmlFile.isEmpty() && name == m_strHtmlFile)) {
        fw::prompter().message(
            QStringLiteral("The project already has a file named %1.").arg(name));
        return false;
    }
    const QString newPath = jdk::folderOf(path) + QDir::separator() + name;
    if (QFileInfo::exists(newPath)) {
        fw::prompter().message(
            QStringLiteral("%1 already exists. Choose another name.").arg(newPath));
        return false;
    }
    fw::Document *window = openDocumentOf(path);
    // The marks of the last compile are kept by the file's canonical path.
    const QString marksKey = QFileInfo(path).canonicalFilePath();
    QFile file(path);
    if (!file.rename(newPath)) {
        fw::prompter().message(
            QStringLiteral("Could not rename %1 to %2.\n%3").arg(path, name, file.errorString()));
        return false;
    }
    if (window) {
        window->followRenamedFile(newPath);
    }
    if (isHtml) {
        SetHtmlFile(newPath);
    } else {
        CJavaFile *entry = m_fileList.FindByFileName(fileName);
        entry->SetFileName(name);
        entry->SetPath(newPath);
        if (m_strMainFile == fileName) {
            m_strMainFile = name;
        }
        if (m_compilerMarks.contains(marksKey)) {
            m_compilerMarks.insert(QFileInfo(newPath).canonicalFilePath(),
                                   m_compilerMarks.take(marksKey));
        }
    }
    setModifiedFlag(true);
    updateAllViews(nullptr);
    // The file on disk has its new name now; a saved project says so at once.
    if (!pathName().isEmpty()) {
        doSave(pathName());
    }
    return true;
}
