#pragma once

#include <memory>
#include <vector>

class CJavaComponent;

namespace fw {
class Archive;
}

// A list that owns its elements and holds at most kCapacity of them. Derived lists fix the
// element type: their Add takes an element of that type and refuses it, leaving it with the
// caller, when the list is full; their CreateElement makes the empty element that loading
// fills. Lists move (ownership goes along) but do not copy.
class CJavaList {
public:
    static constexpr int kCapacity = 255;

    virtual ~CJavaList();
    CJavaList(CJavaList &&other) noexcept;
    CJavaList &operator=(CJavaList &&other) noexcept;
    CJavaList(const CJavaList &) = delete;
    CJavaList &operator=(const CJavaList &) = delete;

    int GetCount() const { return static_cast<int>(m_apItems.size()); }
    bool IsFull() const { return GetCount() >= kCapacity; }
    CJavaComponent *GetAt(int index);
    const CJavaComponent *GetAt(int index) const;

    // Deletes the element at index and moves the following ones down a slot; does nothing
    // for an index outside 0..GetCount()-1.
    void RemoveAt(int index);
    void RemoveAll();

    // The element count as a signed 32-bit value, then each element in slot order. Loading
    // replaces the whole content, and only when every element has been read: a count outside
    // 0..kCapacity or a failing element throws fw::ArchiveError and leaves the list as it was.
    void Serialize(fw::Archive &archive);
    void Store(fw::Archive &archive) const;
    void Load(fw::Archive &archive);

protected:
    CJavaList();
    // Stores an element in the next slot; the caller has checked that the list is not full.
    void Append(std::unique_ptr<CJavaComponent> element);
    virtual std::unique_ptr<CJavaComponent> CreateElement() const = 0;

private:
    std::vector<std::unique_ptr<CJavaComponent>> m_apItems;
};
