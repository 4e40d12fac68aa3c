// A bare Qt main window of the size Tarvo's main window starts at, and nothing else: the yardstick
// for Tarvo's own start without a file. Run it through the launch-to-window script in place of
// Tarvo; its title begins like Tarvo's so the script finds it.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tarvo (bare Qt window)"));
    window.resize(1024, 720);
    window.show();
    return QApplication::exec();
}
