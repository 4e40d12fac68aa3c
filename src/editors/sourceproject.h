#pragma once

#include "model/scansink.h"

#include <QString>

// What a Java source window needs of the open project, beyond the scan reports: adding its
// file, and running the compiler on it. The project document implements it.
class SourceProject : public ScanSink {
public:
    // Adds a file by full path; false when that path is already in the project, or when the
    // user keeps the other file of that name that the project holds.
    virtual bool AddFile(const QString &path) = 0;
    // Starts a JDK tool with its output captured into the project's output window; failures
    // are reported to the user.
    virtual void StartCapturedTool(const QString &program, const QString &commandLine,
                                   const QString &folder) = 0;
};
