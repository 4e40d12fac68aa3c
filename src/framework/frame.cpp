#include "framework/frame.h"

#include "framework/document.h"
#include "framework/view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

namespace fw {

Frame::Frame() {
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_barLayout = new QVBoxLayout;
    m_barLayout->setContentsMargins(0, 0, 0, 0);
    m_barLayout->setSpacing(0);
    m_layout->addLayout(m_barLayout);
}

Frame::~Frame() = default;

Document *Frame::document() const {
    return m_view ? m_view->doc() : nullptr;
}

void Frame::setView(View *view) {
    m_view = view;
    view->m_frame = this;
    m_layout->addWidget(view->widget(), 1);
    setFocusProxy(view->widget());
}

void Frame::attachDocument(Document *document) {
    if (m_view && document) {
        document->addView(m_view);
    }
}

QMdiSubWindow *Frame::subWindow() const {
    return qobject_cast<QMdiSubWindow *>(parentWidget());
}

void Frame::activateFrame() {
    QMdiSubWindow *window = subWindow();
    if (!window) {
        show();
        return;
    }
    if (window->isMinimized()) {
        window->showNormal();
    } else {
        window->show();
    }
    if (QMdiArea *area = window->mdiArea()) {
        area->setActiveSubWindow(window);
    }
    window->raise();
    // The window the frame lives in becomes the active one, so that its accelerators work at
    // once: without a window manager nothing else would activate it after a dialog. Not while
    // a modal dialog is up, which keeps the keyboard.
    QWidget *top = window->window();
    if (!top->isActiveWindow() && !QApplication::activeModalWidget()) {
        top->activateWindow();
    }
    if (m_view) {
        m_view->widget()->setFocus(Qt::OtherFocusReason);
    }
}

QRect Frame::initialGeometry(const MainWindow &) const {
    return {};
}

void Frame::closeEvent(QCloseEvent *event) {
    Document *doc = document();
    if (!doc || doc->isClosing()) {
        event->accept();
        return;
    }
    if (!doc->canCloseFrame(this)) {
        event->ignore();
        return;
    }
    event->accept();
    if (doc->views().size() == 1) {
        doc->onCloseDocument();
    } else {
        doc->removeView(m_view);
        if (QMdiSubWindow *window = subWindow()) {
            window->deleteLater();
        }
    }
}

} // namespace fw
