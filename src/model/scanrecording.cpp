#include "model/scanrecording.h"

void ScanRecording::ClearFileClasses(const QString &) {
    m_calls.push_back({Kind::ClearFileClasses, {}, {}, {}});
}

bool ScanRecording::AddClass(const QString &, const QString &className) {
    m_calls.push_back({Kind::AddClass, className, {}, {}});
    return true;
}

bool ScanRecording::AddMethod(const QString &, const QString &className, const QString &signature) {
    m_calls.push_back({Kind::AddMethod, className, {}, signature});
    return true;
}

bool ScanRecording::AddInnerClass(const QString &, const QString &className,
                                  const QString &innerName) {
    m_calls.push_back({Kind::AddInnerClass, className, innerName, {}});
    return true;
}

void ScanRecording::AddInnerMethod(const QString &, const QString &className,
                                   const QString &innerName, const QString &signature) {
    m_calls.push_back({Kind::AddInnerMethod, className, innerName, signature});
}

void ScanRecording::ClassInfoUpdated() {
    m_calls.push_back({Kind::ClassInfoUpdated, {}, {}, {}});
}

void ScanRecording::replay(ScanSink &project, const QString &path) const {
    for (const Call &call : m_calls) {
        switch (call.kind) {
        case Kind::ClearFileClasses:
            project.ClearFileClasses(path);
            break;
        case Kind::AddClass:
            project.AddClass(path, call.className);
            break;
        case Kind::AddMethod:
            project.AddMethod(path, call.className, call.signature);
            break;
        case Kind::AddInnerClass:
            project.AddInnerClass(path, call.className, call.innerName);
            break;
        case Kind::AddInnerMethod:
            project.AddInnerMethod(path, call.className, call.innerName, call.signature);
            break;
        case Kind::ClassInfoUpdated:
            project.ClassInfoUpdated();
            break;
        }
    }
}
