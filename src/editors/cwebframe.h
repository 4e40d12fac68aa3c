#pragma once

#include "framework/frame.h"

// The frame of an HTML window, placed to the right of the project window.
class CWebFrame : public fw::Frame {
    Q_OBJECT

public:
    QRect initialGeometry(const fw::MainWindow &mainWindow) const override;
};
