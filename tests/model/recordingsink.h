#pragma once

#include "model/scansink.h"

#include <QStringList>

// Records every call a scan makes, one readable line per call.
class RecordingSink : public ScanSink {
public:
    void ClearFileClasses(const QString &path) override { m_calls << "Clear " + path; }
    bool AddClass(const QString &path, const QString &name) override {
        m_calls << "Class " + path + " " + name;
        return true;
    }
    bool AddMethod(const QString &path, const QString &name, const QString &signature) override {
        m_calls << "Method " + path + " " + name + " " + signature;
        return true;
    }
    bool AddInnerClass(const QString &path, const QString &name, const QString &inner) override {
        m_calls << "Inner " + path + " " + name + " " + inner;
        return true;
    }
    void AddInnerMethod(const QString &path, const QString &name, const QString &inner,
                        const QString &signature) override {
        m_calls << "InnerMethod " + path + " " + name + " " + inner + " " + signature;
    }
    void ClassInfoUpdated() override { m_calls << "Updated"; }

    QStringList m_calls;
};
