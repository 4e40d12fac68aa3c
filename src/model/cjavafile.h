#pragma once

#include "model/cjavaclasslist.h"
#include "model/cjavacomponent.h"

#include <QString>

// One Java source file of a project: its full path, its file name (the path's last part) and
// the top-level classes found in it, which it owns. The extra string is set by nothing but is
// kept from a loaded project file and written back unchanged.
class CJavaFile : public CJavaComponent {
public:
    CJavaFile() = default;

    void SetFileName(const QString &fileName) { m_strFileName = fileName; }
    QString GetFileName() const { return m_strFileName; }
    void SetPath(const QString &path) { m_strPath = path; }
    QString GetPath() const { return m_strPath; }

    CJavaClassList &GetClasses() { return m_classes; }
    const CJavaClassList &GetClasses() const { return m_classes; }

    // The classes, then the file name, the full path and the extra string.
    void Store(fw::Archive &archive) const override;
    void Load(fw::Archive &archive) override;

private:
    QString m_strExtra;
    QString m_strFileName;
    CJavaClassList m_classes;
    QString m_strPath;
};
