#pragma once

#include "model/cjavaclasslist.h"
#include "model/scansink.h"

#include <QString>
#include <QStringList>

class CJavaClass;

// The rules by which a scan's reports fill the classes of a file: a class list and a method list
// never hold two equal entries, and keep the order of first report; a full list refuses what
// comes after. Each returns whether it added anything.
namespace classlist {

bool addClass(CJavaClassList &classes, const QString &name);
bool addMethod(CJavaClass &javaClass, const QString &signature);
bool addInnerClass(CJavaClass &javaClass, const QString &innerName);

// The classes, their methods and inner classes, one line each, in their order: two lists
// that describe alike hold the same.
QStringList describe(const CJavaClassList &classes);

} // namespace classlist

// Fills one class list from the reports of a scan made away from the project, by the rules the
// project applies to them: what it holds at the end is what the project would hold for the
// file after the same scan. A method of an inner class that was never reported, which the
// project reports as an error, is left out.
class ClassCollector : public ScanSink {
public:
    CJavaClassList &classes() { return m_classes; }

    void ClearFileClasses(const QString &path) override;
    bool AddClass(const QString &path, const QString &className) override;
    bool AddMethod(const QString &path, const QString &className,
                   const QString &signature) override;
    bool AddInnerClass(const QString &path, const QString &className,
                       const QString &innerName) override;
    void AddInnerMethod(const QString &path, const QString &className, const QString &innerName,
                        const QString &signature) override;
    void ClassInfoUpdated() override {}

private:
    CJavaClassList m_classes;
};
