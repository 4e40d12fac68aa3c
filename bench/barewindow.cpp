// A bare Qt main window of the size Tarvo's main window starts at, and nothing else: the yardstick
// for Tarvo's own start without a file. Run it through the launch-to-window script in place of
// Tarvo; its title begins like Tarvo's so the script finds it.
//
// Given any argument (the script passes its file), the window shows one word in a status bar:
// the least text a window can show, and with it the cost of setting up fonts, which a window
// without text never pays.
#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tarvo (bare Qt window)"));
    window.resize(1024, 720);
    if (argc > 1) {
        window.statusBar()->showMessage(QStringLiteral("Ready"));
    }
    window.show();
    return QApplication::exec();
}
