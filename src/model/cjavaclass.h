#pragma once

#include "model/cjavaclasslist.h"
#include "model/cjavacomponent.h"

#include <QString>
#include <QStringList>

// A class or interface found in a source file, or an inner class of one: its simple name, its
// method signatures in the order found, and its inner classes, which it owns. AddMethod does
// not test for duplicates; callers keep the signatures unique with HasMethod.
class CJavaClass : public CJavaComponent {
public:
    CJavaClass() = default;

    void SetName(const QString &name) { m_strName = name; }
    QString GetName() const { return m_strName; }

    // Appends the signature and returns its index.
    int AddMethod(const QString &signature);
    const QStringList &GetMethods() const { return m_astrMethods; }
    bool HasMethod(const QString &signature) const { return m_astrMethods.contains(signature); }

    CJavaClassList &GetInnerClasses() { return m_innerClasses; }
    const CJavaClassList &GetInnerClasses() const { return m_innerClasses; }
    bool HasInnerClass(const QString &name) const { return m_innerClasses.HasClass(name); }
    CJavaClass *GetInnerClass(const QString &name) { return m_innerClasses.FindClass(name); }
    const CJavaClass *GetInnerClass(const QString &name) const {
        return m_innerClasses.FindClass(name);
    }

    // The method signatures, the inner classes, then the name.
    void Store(fw::Archive &archive) const override;
    void Load(fw::Archive &archive) override;

private:
    QStringList m_astrMethods;
    QString m_strName;
    CJavaClassList m_innerClasses;
};
