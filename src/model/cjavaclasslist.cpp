#include "model/cjavaclasslist.h"

#include "model/cjavaclass.h"

bool CJavaClassList::Add(std::unique_ptr<CJavaClass> &element) {
    if (!element || IsFull()) {
        return false;
    }
    Append(std::move(element));
    return true;
}

CJavaClass *CJavaClassList::GetAt(int index) {
    return static_cast<CJavaClass *>(CJavaList::GetAt(index));
}

const CJavaClass *CJavaClassList::GetAt(int index) const {
    return static_cast<const CJavaClass *>(CJavaList::GetAt(index));
}

CJavaClass *CJavaClassList::FindClass(const QString &name) {
    return const_cast<CJavaClass *>(std::as_const(*this).FindClass(name));
}

const CJavaClass *CJavaClassList::FindClass(const QString &name) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (GetAt(i)->GetName() == name) {
            return GetAt(i);
        }
    }
    return nullptr;
}

std::unique_ptr<CJavaComponent> CJavaClassList::CreateElement() const {
    return std::make_unique<CJavaClass>();
}
