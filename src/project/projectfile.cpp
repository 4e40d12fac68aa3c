#include "project/projectfile.h"

#include "framework/archive.h"

QByteArray storeProjectFile(const ProjectFileContents &contents) {
    fw::Archive archive;
    contents.m_fileList.Store(archive);
    archive.writeString(contents.m_strMainFile);
    archive.writeString(contents.m_strHtmlFile);
    archive.writeString(contents.m_strHtmlPath);
    archive.writeString(contents.m_strMainFolder);
    archive.writeString(contents.m_strPackage);
    return archive.data();
}

bool loadProjectFile(const QByteArray &bytes, ProjectFileContents &out, QString *error) {
    ProjectFileContents loaded;
    try {
        fw::Archive archive(bytes);
        loaded.m_fileList.Load(archive);
        loaded.m_strMainFile = archive.readString();
        loaded.m_strHtmlFile = archive.readString();
        loaded.m_strHtmlPath = archive.readString();
        loaded.m_strMainFolder = archive.readString();
        loaded.m_strPackage = archive.readString();
    } catch (const fw::ArchiveError &) {
        out = ProjectFileContents();
        if (error) {
            *error = QString::fromLatin1(fw::kUnexpectedFileFormat);
        }
        return false;
    }
    out = std::move(loaded);
    return true;
}
