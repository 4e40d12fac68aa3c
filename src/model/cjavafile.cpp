#include "model/cjavafile.h"

#include "framework/archive.h"

void CJavaFile::Store(fw::Archive &archive) const {
    CJavaComponent::Store(archive);
    m_classes.Store(archive);
    archive.writeString(m_strFileName);
    archive.writeString(m_strPath);
    archive.writeString(m_strExtra);
}

void CJavaFile::Load(fw::Archive &archive) {
    CJavaComponent::Load(archive);
    m_classes.Load(archive);
    m_strFileName = archive.readString();
    m_strPath = archive.readString();
    m_strExtra = archive.readString();
}
