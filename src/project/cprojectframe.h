#pragma once

#include "framework/frame.h"

// The frame of the project window, at the left of the main window.
class CProjectFrame : public fw::Frame {
    Q_OBJECT

public:
    CProjectFrame();

    QRect initialGeometry(const fw::MainWindow &mainWindow) const override;
    void onCreate() override;
};
