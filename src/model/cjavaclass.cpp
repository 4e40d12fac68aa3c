#include "model/cjavaclass.h"

#include "framework/archive.h"

int CJavaClass::AddMethod(const QString &signature) {
    m_astrMethods.append(signature);
    return static_cast<int>(m_astrMethods.size() - 1);
}

void CJavaClass::Store(fw::Archive &archive) const {
    CJavaComponent::Store(archive);
    archive.writeStringArray(m_astrMethods);
    m_innerClasses.Store(archive);
    archive.writeString(m_strName);
}

void CJavaClass::Load(fw::Archive &archive) {
    // Inner classes nest the same record; the scope bounds how deep a file may nest them.
    const fw::Archive::NestingScope scope(archive);
    CJavaComponent::Load(archive);
    m_astrMethods = archive.readStringArray();
    m_innerClasses.Load(archive);
    m_strName = archive.readString();
}
