#include "editors/cwebframe.h"

#include "framework/mainwindow.h"

QRect CWebFrame::initialGeometry(const fw::MainWindow &mainWindow) const {
    const QRect client = mainWindow.clientRect();
    return QRect(225, 0, client.width() - 235, client.height() - 50);
}
