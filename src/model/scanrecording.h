#pragma once

#include "model/scansink.h"

#include <QString>

#include <vector>

// A scan's reports kept in order, to be given to a project later: a text can then be scanned
// away from the project (on another thread, before the document has its final path) and the
// project hear of it afterwards exactly as if it had been scanned there.
class ScanRecording : public ScanSink {
public:
    void ClearFileClasses(const QString &path) override;
    bool AddClass(const QString &path, const QString &className) override;
    bool AddMethod(const QString &path, const QString &className,
                   const QString &signature) override;
    bool AddInnerClass(const QString &path, const QString &className,
                       const QString &innerName) override;
    void AddInnerMethod(const QString &path, const QString &className, const QString &innerName,
                        const QString &signature) override;
    void ClassInfoUpdated() override;

    // Makes the recorded calls on project, in their order, each naming path.
    void replay(ScanSink &project, const QString &path) const;

private:
    enum class Kind {
        ClearFileClasses,
        AddClass,
        AddMethod,
        AddInnerClass,
        AddInnerMethod,
        ClassInfoUpdated
    };
    struct Call {
        Kind kind;
        QString className;
        QString innerName;
        QString signature;
    };
    std::vector<Call> m_calls;
};
