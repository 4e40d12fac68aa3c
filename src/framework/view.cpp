#include "framework/view.h"

#include "framework/document.h"

namespace fw {

View::View() = default;

View::~View() {
    if (m_document) {
        m_document->removeView(this);
    }
}

void View::onInitialUpdate() {
    onUpdate(nullptr, 0);
}

void View::onUpdate(View *, int) {}

} // namespace fw
