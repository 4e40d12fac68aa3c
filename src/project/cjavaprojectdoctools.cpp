// The JDK tool commands of the project document: compile, build, run, applet, jar, and the way
// back from a compiler message to its source line.
#include "project/cjavaprojectdoc.h"

void CJavaProjectDoc::Build() {}

void CJavaProjectDoc::CompileFile(const QString &) {}

void CJavaProjectDoc::RunMain(bool) {}

void CJavaProjectDoc::RunApplet() {}

void CJavaProjectDoc::CreateJar() {}

void CJavaProjectDoc::ShowArchiveContents() {}

void CJavaProjectDoc::JumpToMessageLine(int) {}

void CJavaProjectDoc::StartCapturedTool(const QString &, const QString &, const QString &) {}

bool CJavaProjectDoc::StartConsoleTool(const QString &, const QString &, const QString &)
{
    return false;
}
