#pragma once

#include <QString>

// What a scan reports into the open project. Each call names the scanned document's full
// path; the project applies it to the project file with exactly that path and ignores calls
// for a path it does not hold. Adding what the file's model already holds does nothing.
class ScanSink {
public:
    virtual ~ScanSink() = default;

    // Empties the classes of the file before the scan reports them again.
    virtual void ClearFileClasses(const QString &path) = 0;
    virtual bool AddClass(const QString &path, const QString &className) = 0;
    virtual bool AddMethod(const QString &path, const QString &className,
                           const QString &signature) = 0;
    virtual bool AddInnerClass(const QString &path, const QString &className,
                               const QString &innerName) = 0;
    virtual void AddInnerMethod(const QString &path, const QString &className,
                                const QString &innerName, const QString &signature) = 0;
    // The scan has ended: the project's views show the new model.
    virtual void ClassInfoUpdated() = 0;
};
