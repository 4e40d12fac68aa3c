#pragma once

namespace fw {
class Archive;
}

// The common base of the elements that model lists hold (a class, a file). Serialize stores
// or loads the element as the archive's direction says; the base holds nothing and writes
// nothing.
class CJavaComponent {
public:
    CJavaComponent() = default;
    virtual ~CJavaComponent() = default;
    CJavaComponent(const CJavaComponent &) = delete;
    CJavaComponent &operator=(const CJavaComponent &) = delete;

    void Serialize(fw::Archive &archive);
    virtual void Store(fw::Archive &archive) const;
    virtual void Load(fw::Archive &archive);
};
