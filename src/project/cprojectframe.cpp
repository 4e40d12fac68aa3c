#include "project/cprojectframe.h"

#include "framework/mainwindow.h"

#include <QIcon>
#include <QMdiSubWindow>

namespace {

const QString kProjectIcon = QStringLiteral(":/icons/documents/project.png");

} // namespace

CProjectFrame::CProjectFrame() {
    setWindowIcon(QIcon(kProjectIcon));
}

QRect CProjectFrame::initialGeometry(const fw::MainWindow &mainWindow) const {
    return QRect(0, 0, 220, mainWindow.clientRect().height() - 50);
}

void CProjectFrame::onCreate() {
    if (QMdiSubWindow *window = subWindow()) {
        window->setWindowIcon(windowIcon());
    }
}
