#include "model/cjavacomponent.h"

#include "framework/archive.h"

void CJavaComponent::Serialize(fw::Archive &archive) {
    if (archive.isStoring()) {
        Store(archive);
    } else {
        Load(archive);
    }
}

void CJavaComponent::Store(fw::Archive &) const {}

void CJavaComponent::Load(fw::Archive &) {}
