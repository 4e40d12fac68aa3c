#pragma once

#include "model/cjavafilelist.h"

#include <QByteArray>
#include <QString>

// Everything a project file holds. The project document derives from it, so these are the
// document's own members.
struct ProjectFileContents {
    CJavaFileList m_fileList;
    QString m_strMainFile;
    QString m_strHtmlFile;
    QString m_strHtmlPath;
    QString m_strMainFolder;
    QString m_strPackage;
};

// The bytes of a project file: the file list with every file's classes, then the main file
// name, the HTML file name and path, the main folder and the package.
QByteArray storeProjectFile(const ProjectFileContents &contents);

// Reads a whole project file. On success out holds what the file holds and true is returned;
// bytes after the last field are ignored. A file that ends early or holds an impossible value
// is refused whole: out is left empty and *error (when given) is "Unexpected file format.".
bool loadProjectFile(const QByteArray &bytes, ProjectFileContents &out, QString *error);
