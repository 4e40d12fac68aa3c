#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "framework/profile.h"
#include "framework/singleinstance.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QIcon>

#include <fontconfig/fontconfig.h>

#include <future>
#include <thread>

int main(int argc, char **argv) {
    // Work beside the start on a second thread, so that the main window appears sooner:
    // reading the system's font configuration (many small XML files) while the application
    // connects to the display, then building Qt's list of fonts, which the first text measured
    // needs, while the main window is made. Both may run on any thread: the font library's
    // set-up keeps the first one done, and Qt guards its font list with a lock.
    std::promise<bool> applicationMade;
    std::thread fonts([made = applicationMade.get_future()]() mutable {
        FcInit();
        if (made.get()) {
            QFontDatabase::families();
        }
    });
    QApplication application(argc, argv);
    applicationMade.set_value(true);
    QApplication::setOrganizationName(QString::fromLatin1(fw::Profile::kOrganisation));
    QApplication::setApplicationName(QString::fromLatin1(fw::Profile::kApplication));
    QApplication::setDesktopFileName(QStringLiteral("tarvo"));

    QStringList files;
    for (const QString &argument : QApplication::arguments().mid(1)) {
        files << QFileInfo(argument).absoluteFilePath();
    }

    // A second start hands its files to the running Tarvo and ends. Two starting at the same
    // moment: the one that cannot listen hands its files to the one that does.
    fw::SingleInstance instance;
    const auto handedOver = [&instance, &files, &fonts] {
        if (!instance.handToRunningInstance(files)) {
            return false;
        }
        fonts.join();
        return true;
    };
    if (handedOver() || (!instance.listen() && handedOver())) {
        return 0;
    }

    CKetrelApp app(std::make_unique<fw::Profile>());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tarvo.png")));
    QObject::connect(&instance, &fw::SingleInstance::filesReceived, &app,
                     &CKetrelApp::OpenHandedFiles);
    const bool started = app.InitInstance(files);
    fonts.join();
    if (!started) {
        return 1;
    }
    return application.exec();
}
