#include "model/classcollector.h"

#include "model/cjavaclass.h"

#include <memory>

namespace classlist {

bool addClass(CJavaClassList &classes, const QString &name) {
    if (classes.HasClass(name)) {
        return false;
    }
    auto added = std::make_unique<CJavaClass>();
    added->SetName(name);
    return classes.Add(added);
}

bool addMethod(CJavaClass &javaClass, const QString &signature) {
    if (javaClass.HasMethod(signature)) {
        return false;
    }
    javaClass.AddMethod(signature);
    return true;
}

bool addInnerClass(CJavaClass &javaClass, const QString &innerName) {
    return addClass(javaClass.GetInnerClasses(), innerName);
}

namespace {

void describe(const CJavaClassList &classes, const QString &prefix, QStringList *lines) {
    for (int index = 0; index < classes.GetCount(); ++index) {
        const CJavaClass *javaClass = classes.GetAt(index);
        const QString name = prefix + javaClass->GetName();
        lines->append(name);
        for (const QString &method : javaClass->GetMethods()) {
            lines->append(name + QLatin1Char('#') + method);
        }
        describe(javaClass->GetInnerClasses(), name + QLatin1Char('.'), lines);
    }
}

} // namespace

QStringList describe(const CJavaClassList &classes) {
    QStringList lines;
    describe(classes, QString(), &lines);
    return lines;
}

} // namespace classlist

void ClassCollector::ClearFileClasses(const QString &) {
    m_classes.RemoveAll();
}

bool ClassCollector::AddClass(const QString &, const QString &className) {
    classlist::addClass(m_classes, className);
    return true;
}

bool ClassCollector::AddMethod(const QString &, const QString &className,
                               const QString &signature) {
    CJavaClass *found = m_classes.FindClass(className);
    if (found) {
        classlist::addMethod(*found, signature);
    }
    return found != nullptr;
}

bool ClassCollector::AddInnerClass(const QString &, const QString &className,
                                   const QString &innerName) {
    CJavaClass *found = m_classes.FindClass(className);
    if (found) {
        classlist::addInnerClass(*found, innerName);
    }
    return found != nullptr;
}

void ClassCollector::AddInnerMethod(const QString &, const QString &className,
                                    const QString &innerName, const QString &signature) {
    CJavaClass *found = m_classes.FindClass(className);
    CJavaClass *inner = found ? found->GetInnerClass(innerName) : nullptr;
    if (inner) {
        classlist::addMethod(*inner, signature);
    }
}
