#pragma once

#include "framework/frame.h"

class QComboBox;

// The frame of a Java source window: the function list along its top, the editor below.
class CChildFrame : public fw::Frame {
    Q_OBJECT

public:
    CChildFrame();
    ~CChildFrame() override;

    QComboBox *functionList() const { return m_functionList; }
    QRect initialGeometry(const fw::MainWindow &mainWindow) const override;

private:
    QComboBox *m_functionList = nullptr;
};
