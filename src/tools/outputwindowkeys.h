#pragma once

class QWidget;

namespace fw {
class MainWindow;
}

// Makes the main window's command keys work in window (the output window) as they work in the
// main window: a key does what the main window's accelerators give it for the window active
// there now (its own table, then the main table), through the main window's command route.
// Keys whose commands act on the widget that has the keyboard (copy, paste, undo, select all)
// or on a document window of the main window (close it, delete the selected project file) are
// left to window.
void forwardMainWindowKeys(QWidget *window, fw::MainWindow *main);
