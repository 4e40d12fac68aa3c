#pragma once

#include "model/cjavalist.h"

#include <QString>

#include <memory>

class CJavaFile;

// The files of a project.
class CJavaFileList : public CJavaList {
public:
    CJavaFileList() = default;

    // Takes the file over and returns true; a full list (or an empty pointer) returns false
    // and leaves the file with the caller.
    bool Add(std::unique_ptr<CJavaFile> &element);

    CJavaFile *GetAt(int index);
    const CJavaFile *GetAt(int index) const;

    // Paths and file names are compared exactly and case-sensitively.
    CJavaFile *FindByPath(const QString &path);
    const CJavaFile *FindByPath(const QString &path) const;
    bool HasFileName(const QString &fileName) const { return FindByFileName(fileName) != nullptr; }
    CJavaFile *FindByFileName(const QString &fileName);
    const CJavaFile *FindByFileName(const QString &fileName) const;

protected:
    std::unique_ptr<CJavaComponent> CreateElement() const override;

private:
    template <typename Key>
    const CJavaFile *findFirst(Key key, const QString &value) const;
};
