#include "project/cjavaprojectdoc.h"

CJavaProjectDoc::CJavaProjectDoc() = default;

CJavaProjectDoc::~CJavaProjectDoc() = default;

void CJavaProjectDoc::Build() {}

void CJavaProjectDoc::RunMain(bool) {}

void CJavaProjectDoc::RunApplet() {}

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
