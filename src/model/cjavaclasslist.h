#pragma once

#include "model/cjavalist.h"

#include <QString>

#include <memory>

class CJavaClass;

// A list of classes (the top-level classes of a file or the inner classes of a class).
class CJavaClassList : public CJavaList {
public:
    CJavaClassList() = default;

    // Takes the class over and returns true; a full list (or an empty pointer) returns false
    // and leaves the class with the caller.
    bool Add(std::unique_ptr<CJavaClass> &element);

    CJavaClass *GetAt(int index);
    const CJavaClass *GetAt(int index) const;

    // Names are compared exactly and case-sensitively.
    bool HasClass(const QString &name) const { return FindClass(name) != nullptr; }
    CJavaClass *FindClass(const QString &name);
    const CJavaClass *FindClass(const QString &name) const;

protected:
    std::unique_ptr<CJavaComponent> CreateElement() const override;
};
