#include "model/cjavalist.h"

#include "framework/archive.h"
#include "model/cjavacomponent.h"

#include <QtGlobal>

CJavaList::CJavaList() = default;
CJavaList::~CJavaList() = default;
CJavaList::CJavaList(CJavaList &&other) noexcept = default;
CJavaList &CJavaList::operator=(CJavaList &&other) noexcept = default;

CJavaComponent *CJavaList::GetAt(int index) {
    return (index >= 0 && index < GetCount()) ? m_apItems[index].get() : nullptr;
}

const CJavaComponent *CJavaList::GetAt(int index) const {
    return (index >= 0 && index < GetCount()) ? m_apItems[index].get() : nullptr;
}

void CJavaList::RemoveAt(int index) {
    if (index >= 0 && index < GetCount()) {
        m_apItems.erase(m_apItems.begin() + index);
    }
}

void CJavaList::RemoveAll() {
    m_apItems.clear();
}

void CJavaList::Append(std::unique_ptr<CJavaComponent> element) {
    Q_ASSERT(element && !IsFull());
    m_apItems.push_back(std::move(element));
}

void CJavaList::Serialize(fw::Archive &archive) {
    if (archive.isStoring()) {
        Store(archive);
    } else {
        Load(archive);
    }
}

void CJavaList::Store(fw::Archive &archive) const {
    archive.writeInt32(GetCount());
    for (const auto &element : m_apItems) {
        element->Store(archive);
    }
}

void CJavaList::Load(fw::Archive &archive) {
    const qint32 count = archive.readInt32();
    if (count < 0 || count > kCapacity) {
        throw fw::ArchiveError("list count out of range");
    }
    std::vector<std::unique_ptr<CJavaComponent>> loaded;
    loaded.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        loaded.push_back(CreateElement());
        loaded.back()->Load(archive);
    }
    m_apItems = std::move(loaded);
}
