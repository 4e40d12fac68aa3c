#include "model/cjavafilelist.h"

#include "model/cjavafile.h"

bool CJavaFileList::Add(std::unique_ptr<CJavaFile> &element) {
    if (!element || IsFull()) {
        return false;
    }
    Append(std::move(element));
    return true;
}

CJavaFile *CJavaFileList::GetAt(int index) {
    return static_cast<CJavaFile *>(CJavaList::GetAt(index));
}

const CJavaFile *CJavaFileList::GetAt(int index) const {
    return static_cast<const CJavaFile *>(CJavaList::GetAt(index));
}

template <typename Key>
const CJavaFile *CJavaFileList::findFirst(Key key, const QString &value) const {
    for (int i = 0; i < GetCount(); ++i) {
        if ((GetAt(i)->*key)() == value) {
            return GetAt(i);
        }
    }
    return nullptr;
}

CJavaFile *CJavaFileList::FindByPath(const QString &path) {
    return const_cast<CJavaFile *>(std::as_const(*this).FindByPath(path));
}

const CJavaFile *CJavaFileList::FindByPath(const QString &path) const {
    return findFirst(&CJavaFile::GetPath, path);
}

CJavaFile *CJavaFileList::FindByFileName(const QString &fileName) {
    return const_cast<CJavaFile *>(std::as_const(*this).FindByFileName(fileName));
}

const CJavaFile *CJavaFileList::FindByFileName(const QString &fileName) const {
    return findFirst(&CJavaFile::GetFileName, fileName);
}

std::unique_ptr<CJavaComponent> CJavaFileList::CreateElement() const {
    return std::make_unique<CJavaFile>();
}
