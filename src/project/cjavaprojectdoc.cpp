#include "project/cjavaprojectdoc.h"

#include "editors/csyntaxwindowdoc.h"
#include "framework/commandids.h"
#include "framework/frame.h"
#include "framework/prompter.h"
#include "framework/view.h"
#include "model/cjavaclass.h"
#include "model/cjavafile.h"
#include "model/classcollector.h"
#include "project/addfilemessages.h"
#include "project/cjavaprojectview.h"
#include "services/ideservices.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/debugrun.h"
#include "tools/jdkcommands.h"
#include "tools/processrunner.h"

#include <QFileInfo>

namespace {

const QString kJavaSourceFilter =
    QStringLiteral("Java Source Files (*.jav;*.java)|*.jav;*.java|All Files (*.*)|*.*||");
const QString kHtmlFilter = QStringLiteral("HTML Files (*.htm;*.html)|*.htm;*.html||");

} // namespace

CJavaProjectDoc::CJavaProjectDoc()
    : m_pOutputWnd(std::make_unique<CProcessOutputDialog>()) {
    registerCommands();
    connect(m_pOutputWnd.get(), &CProcessOutputDialog::runFinished, this,
            &CJavaProjectDoc::ShowCompilerMarks);
    connect(m_pOutputWnd.get(), &CProcessOutputDialog::runFinished, this,
            &CJavaProjectDoc::RunAfterBuildEnds);
    connect(&m_backgroundScan, &ProjectScan::scanned, this, &CJavaProjectDoc::takeScannedFiles);
    connect(&m_backgroundScan, &ProjectScan::finished, this, [this] { m_scanQueue.clear(); });
}

CJavaProjectDoc::~CJavaProjectDoc() = default;

void CJavaProjectDoc::registerCommands() {
    addCommand(CommandId::AddJavaSourceFiles, [this] { AddJavaSourceFiles(); });
    addCommand(CommandId::AddHtmlFile, [this] { AddHtmlFile(); });
    addCommand(CommandId::AddFolder, [this] { AddFolder(); });
    addCommand(CommandId::RunSettings, [this] { EditRunSettings(); });
    addCommand(CommandId::Libraries, [this] { EditLibraries(); });
    addCommand(CommandId::ShowCompilerOutput, [this] { ShowCompilerOutput(); });
    addUpdate(CommandId::ShowCompilerOutput,
              // While a run lasts its window can always be brought back, to watch or abort it.
              [this](fw::CommandUi &ui) {
                  ui.setEnabled(!m_strLastOutput.isEmpty() || IsProcessRunning());
              });
    addCommand(CommandId::Build, [this] { Build(); });
    addCommand(CommandId::RunWithConsole, [this] { RunMain(true); });
    addUpdate(CommandId::RunWithConsole,
              [this](fw::CommandUi &ui) { ui.setEnabled(!m_strMainFile.isEmpty()); });
    addCommand(CommandId::CreateJar, [this] { CreateJar(); });
    addCommand(CommandId::ShowArchiveContents, [this] { ShowArchiveContents(); });
}

bool CJavaProjectDoc::AddFile(const QString &path) {
    return addFile(path, SameName::Ask);
}

bool CJavaProjectDoc::addFile(const QString &path, SameName sameName) {
    if (m_fileList.FindByPath(path)) {
        return false;
    }
    const QString name = jdk::fileNameOf(path);
    if (CJavaFile *moved = m_fileList.FindByFileName(name)) {
        // Entries are found by file name, so two files of one name cannot both belong to the
        // project. When the entry's file is gone, it has moved; when it is still there, the
        // new file would push it out of the project, and the user decides.
        if (sameName == SameName::Keep && QFileInfo::exists(moved->GetPath())) {
            return false;
        }
        if (sameName == SameName::Ask && QFileInfo::exists(moved->GetPath())
            && fw::prompter().message(
                   QStringLiteral("%1 is already in the project as %2. Replace it with %3?")
                       .arg(name, moved->GetPath(), path),
                   fw::MessageButtons::YesNo)
                   != fw::Answer::Yes) {
            return false;
        }
        moved->SetPath(path);
        return true;
    }
    auto file = std::make_unique<CJavaFile>();
    file->SetFileName(name);
    file->SetPath(path);
    if (!m_fileList.Add(file)) {
        // A full project refuses the file, and the user learns which files are not in it.
        if (m_refusedFiles) {
            m_refusedFiles->append(path);
        } else {
            fw::prompter().message(addfilemessages::notAddedMessage({path}));
        }
        return false;
    }
    return true;
}

void CJavaProjectDoc::RemoveFile(const QString &path) {
    if (path == m_strHtmlPath) {
        m_strHtmlFile.clear();
        m_strHtmlPath.clear();
    } else {
        for (int index = 0; index < m_fileList.GetCount(); ++index) {
            if (m_fileList.GetAt(index)->GetPath() == path) {
                m_fileList.RemoveAt(index);
                break;
            }
        }
    }
    setModifiedFlag(true);
    updateAllViews(nullptr);
}

QString CJavaProjectDoc::GetFullPath(const QString &fileName) const {
    if (const CJavaFile *file = m_fileList.FindByFileName(fileName)) {
        return file->GetPath();
    }
    // Without an HTML file an empty name (no item selected) must not pass for the HTML file.
    if (!m_strHtmlFile.isEmpty() && fileName == m_strHtmlFile) {
        return m_strHtmlPath;
    }
    return kNoFile;
}

QString CJavaProjectDoc::newFileFolder() const {
    const QString mainPath = GetFullPath(m_strMainFile);
    if (!m_strMainFile.isEmpty() && mainPath != kNoFile
        && QFileInfo(QFileInfo(mainPath).absolutePath()).isDir()) {
        return QFileInfo(mainPath).absolutePath();
    }
    return pathName().isEmpty() ? QString() : QFileInfo(pathName()).absolutePath();
}

void CJavaProjectDoc::SetMainFile(const QString &fileName) {
    m_strMainFile = fileName;
    m_strMainFolder = jdk::folderOf(GetFullPath(fileName));
    setModifiedFlag(true);
    updateAllViews(nullptr);
}

bool CJavaProjectDoc::IsMainFile(const QString &fileName) const {
    return fileName == m_strMainFile;
}

void CJavaProjectDoc::SetHtmlFile(const QString &path) {
    m_strHtmlFile = jdk::fileNameOf(path);
    m_strHtmlPath = path;
    setModifiedFlag(true);
}

QWidget *CJavaProjectDoc::GetProjectFrame() const {
    fw::View *view = firstView();
    return view ? view->frame() : nullptr;
}

CJavaProjectView *CJavaProjectDoc::projectView() const {
    return dynamic_cast<CJavaProjectView *>(firstView());
}

void CJavaProjectDoc::AddJavaSourceFiles() {
    fw::FileDialogOptions options;
    options.filter = kJavaSourceFilter;
    options.defaultExtension = QStringLiteral("txt");
    options.allowMultiple = true;
    const QStringList files = fw::prompter().openFiles(options);
    if (files.isEmpty()) {
        return;
    }
    if (files.size() == 1) {
        if (AddFiles(files)) {
            updateAllViews(nullptr);
            setModifiedFlag(true);
        }
        return;
    }
    AddFiles(files);
    setModifiedFlag(true);
    updateAllViews(nullptr);
}

void CJavaProjectDoc::AddHtmlFile() {
    fw::FileDialogOptions options;
    options.filter = kHtmlFilter;
    options.defaultExtension = QStringLiteral("html");
    const QStringList files = fw::prompter().openFiles(options);
    if (files.isEmpty()) {
        return;
    }
    m_strHtmlFile = jdk::fileNameOf(files.first());
    m_strHtmlPath = files.first();
    setModifiedFlag(true);
    updateAllViews(nullptr);
}

void CJavaProjectDoc::ShowCompilerOutput() {
    if (!m_pOutputWnd->IsOpen()) {
        m_pOutputWnd->Open(nullptr, projectView());
    }
}

void CJavaProjectDoc::ClearFileClasses(const QString &path) {
    if (CJavaFile *file = m_fileList.FindByPath(path)) {
        // A scan that finds again what the file held leaves the project as it was: opening a
        // project's windows must not mark it changed.
        m_scanBefore = ScanBefore{path, classlist::describe(file->GetClasses()), isModified()};
        file->GetClasses().RemoveAll();
    }
}

CJavaClass *CJavaProjectDoc::findClass(const QString &path, const QString &className) {
    CJavaFile *file = m_fileList.FindByPath(path);
    return file ? file->GetClasses().FindClass(className) : nullptr;
}

bool CJavaProjectDoc::AddClass(const QString &path, const QString &className) {
    CJavaFile *file = m_fileList.FindByPath(path);
    if (!file) {
        return false;
    }
    if (classlist::addClass(file->GetClasses(), className)) {
        setModifiedFlag(true);
    }
    return true;
}

bool CJavaProjectDoc::AddMethod(const QString &path, const QString &className,
                                const QString &signature) {
    CJavaClass *found = findClass(path, className);
    if (!found) {
        return false;
    }
    if (classlist::addMethod(*found, signature)) {
        setModifiedFlag(true);
    }
    return true;
}

bool CJavaProjectDoc::AddInnerClass(const QString &path, const QString &className,
                                    const QString &innerName) {
    CJavaClass *found = findClass(path, className);
    if (!found) {
        return false;
    }
    if (classlist::addInnerClass(*found, innerName)) {
        setModifiedFlag(true);
    }
    return true;
}

void CJavaProjectDoc::AddInnerMethod(const QString &path, const QString &className,
                                     const QString &innerName, const QString &signature) {
    CJavaClass *found = findClass(path, className);
    if (!found) {
        return;
    }
    CJavaClass *inner = found->GetInnerClass(innerName);
    if (!inner) {
        fw::prompter().message(QStringLiteral("Error parsing file"));
        return;
    }
    if (classlist::addMethod(*inner, signature)) {
        setModifiedFlag(true);
    }
}

void CJavaProjectDoc::ClassInfoUpdated() {
    if (const std::optional<ScanBefore> before = std::exchange(m_scanBefore, std::nullopt)) {
        const CJavaFile *file = m_fileList.FindByPath(before->path);
        if (file && !before->wasModified
            && classlist::describe(file->GetClasses()) == before->classes) {
            setModifiedFlag(false);
        }
    }
    updateAllViews(nullptr);
}

CSyntaxWindowDoc *CJavaProjectDoc::openSourceDocument(const QString &path) {
    IdeServices *services = IdeServices::instance();
    return services ? dynamic_cast<CSyntaxWindowDoc *>(services->OpenDocumentFile(path)) : nullptr;
}

bool CJavaProjectDoc::goToEntry(const QString &path, const QString &entry) {
    CSyntaxWindowDoc *source = openSourceDocument(path);
    if (!source) {
        return false;
    }
    const int offset = source->FindEntryOffset(entry);
    if (offset < 0) {
        return false;
    }
    source->GoToOffset(offset);
    return true;
}

void CJavaProjectDoc::RefreshFileClasses(const QString &path) {
    CJavaFile *file = m_fileList.FindByPath(path);
    if (!file) {
        return;
    }
    file->GetClasses().RemoveAll();
    if (CSyntaxWindowDoc *source = openSourceDocument(path)) {
        source->RefreshFunctionList();
    }
}

bool CJavaProjectDoc::LocateClass(const QString &className) {
    for (int index = 0; index < m_fileList.GetCount(); ++index) {
        const CJavaFile *file = m_fileList.GetAt(index);
        if (file->GetClasses().HasClass(className)) {
            return goToEntry(file->GetPath(), className);
        }
    }
    return false;
}

bool CJavaProjectDoc::LocateMember(const QString &fileName, const QString &className,
                                   const QString &signature) {
    const QString path = GetFullPath(fileName);
    if (path == kNoFile) {
        return false;
    }
    return goToEntry(path, className + QLatin1Char('.') + signature);
}

bool CJavaProjectDoc::RelocateFile(const QString &fileName) {
    CJavaFile *file = m_fileList.FindByFileName(fileName);
    if (!file) {
        return false;
    }
    // The bare name opens from the current folder; the entry takes the path of the file that
    // actually opened, so that the next open finds it again.
    CSyntaxWindowDoc *source = openSourceDocument(fileName);
    if (!source) {
        return false;
    }
    file->SetPath(source->pathName());
    setModifiedFlag(true);
    return true;
}

bool CJavaProjectDoc::saveModified() {
    if (!isModified()) {
        return true;
    }
    if (pathName().isEmpty()) {
        return fw::Document::saveModified();
    }
    return doSave(pathName());
}

void CJavaProjectDoc::onCloseDocument() {
    if (IdeServices *services = IdeServices::instance()) {
        services->AddRecentProject(pathName());
        services->SaveLastOpenAndRecent(pathName());
    }
    m_backgroundScan.stop();
    m_jarFolderSearch.stop();
    // A program being debugged ends with its project.
    m_debugRun.reset();
    // The output window belongs to the project: it goes with it, not when the document object
    // is deleted later.
    m_pOutputWnd->DestroyWindow();
    fw::Document::onCloseDocument();
}

bool CJavaProjectDoc::readContents(const QByteArray &bytes, QString *error) {
    ProjectFileContents loaded;
    if (!loadProjectFile(bytes, loaded, error)) {
        return false;
    }
    static_cast<ProjectFileContents &>(*this) = std::move(loaded);
    return true;
}

QByteArray CJavaProjectDoc::writeContents() {
    return storeProjectFile(*this);
}

void CJavaProjectDoc::deleteContents() {
    static_cast<ProjectFileContents &>(*this) = ProjectFileContents();
}
