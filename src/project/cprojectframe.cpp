#include "project/cprojectframe.h"

#include "framework/mainwindow.h"

QRect CProjectFrame::initialGeometry(const fw::MainWindow &mainWindow) const
{
    return QRect(0, 0, 220, mainWindow.clientRect().height() - 50);
}
