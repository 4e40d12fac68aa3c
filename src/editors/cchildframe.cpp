#include "editors/cchildframe.h"

#include "framework/mainwindow.h"

#include <QComboBox>
#include <QVBoxLayout>

CChildFrame::CChildFrame()
{
    m_functionList = new QComboBox(this);
    barLayout()->addWidget(m_functionList);
}

CChildFrame::~CChildFrame() = default;

QRect CChildFrame::initialGeometry(const fw::MainWindow &mainWindow) const
{
    const QRect free = mainWindow.freeClientArea();
    return QRect(225, 0, free.width() - 235, free.height() - 10);
}
