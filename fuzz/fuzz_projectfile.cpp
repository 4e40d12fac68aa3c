// Reads arbitrary bytes as a project file. A refused file leaves nothing behind; an accepted
// one writes out bytes that read back to the same project.
#include "project/projectfile.h"

#include <cstddef>
#include <cstdint>

namespace {
void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    ProjectFileContents project;
    QString error;
    if (!loadProjectFile(bytes, project, &error)) {
        check(error == QStringLiteral("Unexpected file format."));
        check(project.m_fileList.GetCount() == 0 && project.m_strMainFile.isEmpty());
        return 0;
    }
    const QByteArray stored = storeProjectFile(project);
    ProjectFileContents again;
    check(loadProjectFile(stored, again, nullptr));
    check(storeProjectFile(again) == stored);
    return 0;
}
