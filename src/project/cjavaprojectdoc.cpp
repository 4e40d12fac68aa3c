#include "project/cjavaprojectdoc.h"

#include "project/cjavaprojectview.h"
#include "framework/frame.h"
#include "framework/view.h"
#include "tools/cprocessoutputdialog.h"

CJavaProjectDoc::CJavaProjectDoc()
    : m_pOutputWnd(std::make_unique<CProcessOutputDialog>())
{
    registerCommands();
}

CJavaProjectDoc::~CJavaProjectDoc() = default;

void CJavaProjectDoc::registerCommands() {}

bool CJavaProjectDoc::AddFile(const QString &)
{
    return false;
}

void CJavaProjectDoc::RemoveFile(const QString &) {}

QString CJavaProjectDoc::GetFullPath(const QString &) const
{
    return kNoFile;
}

void CJavaProjectDoc::SetMainFile(const QString &) {}

bool CJavaProjectDoc::IsMainFile(const QString &fileName) const
{
    return fileName == m_strMainFile;
}

void CJavaProjectDoc::SetHtmlFile(const QString &) {}

QWidget *CJavaProjectDoc::GetProjectFrame() const
{
    fw::View *view = firstView();
    return view ? view->frame() : nullptr;
}

CJavaProjectView *CJavaProjectDoc::projectView() const
{
    return dynamic_cast<CJavaProjectView *>(firstView());
}

void CJavaProjectDoc::AddJavaSourceFiles() {}

void CJavaProjectDoc::AddHtmlFile() {}

void CJavaProjectDoc::ShowCompilerOutput() {}

void CJavaProjectDoc::ClearFileClasses(const QString &) {}

bool CJavaProjectDoc::AddClass(const QString &, const QString &)
{
    return false;
}

bool CJavaProjectDoc::AddMethod(const QString &, const QString &, const QString &)
{
    return false;
}

bool CJavaProjectDoc::AddInnerClass(const QString &, const QString &, const QString &)
{
    return false;
}

void CJavaProjectDoc::AddInnerMethod(const QString &, const QString &, const QString &,
                                     const QString &)
{
}

void CJavaProjectDoc::ClassInfoUpdated() {}

void CJavaProjectDoc::RefreshFileClasses(const QString &) {}

bool CJavaProjectDoc::LocateClass(const QString &)
{
    return false;
}

bool CJavaProjectDoc::LocateMember(const QString &, const QString &, const QString &)
{
    return false;
}

bool CJavaProjectDoc::RelocateFile(const QString &)
{
    return false;
}

bool CJavaProjectDoc::saveModified()
{
    return fw::Document::saveModified();
}

void CJavaProjectDoc::onCloseDocument()
{
    fw::Document::onCloseDocument();
}

bool CJavaProjectDoc::readContents(const QByteArray &bytes, QString *error)
{
    ProjectFileContents loaded;
    if (!loadProjectFile(bytes, loaded, error)) {
        return false;
    }
    static_cast<ProjectFileContents &>(*this) = std::move(loaded);
    return true;
}

QByteArray CJavaProjectDoc::writeContents()
{
    return storeProjectFile(*this);
}

void CJavaProjectDoc::deleteContents()
{
    static_cast<ProjectFileContents &>(*this) = ProjectFileContents();
}
