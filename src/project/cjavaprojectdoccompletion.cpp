// What the project knows of its classes for code completion without a compiler: the classes
// and methods its files' scans found.
#include "project/cjavaprojectdoc.h"

#include "model/cjavaclass.h"
#include "model/cjavafile.h"

namespace {

void addEntries(const CJavaClassList &classes, const QString &outer, QStringList &entries) {
    for (int index = 0; index < classes.GetCount(); ++index) {
        const CJavaClass *javaClass = classes.GetAt(index);
        const QString name = outer + javaClass->GetName();
        entries.append(name);
        for (const QString &method : javaClass->GetMethods()) {
            entries.append(name + QLatin1Char('.') + method);
        }
        addEntries(javaClass->GetInnerClasses(), name + QLatin1Char('.'), entries);
    }
}

} // namespace

QStringList CJavaProjectDoc::ScannedEntries() const {
    QStringList entries;
    for (int index = 0; index < m_fileList.GetCount(); ++index) {
        addEntries(m_fileList.GetAt(index)->GetClasses(), QString(), entries);
    }
    return entries;
}
