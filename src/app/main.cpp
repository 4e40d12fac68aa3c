#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "framework/profile.h"
#include "framework/singleinstance.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>

#include <fontconfig/fontconfig.h>

#include <thread>

int main(int argc, char **argv) {
    // Reading the system's font configuration (many small XML files) is the largest single
    // cost of a start. A second thread reads it while the application connects to the display
    // and sets itself up; the first text measured then finds it ready. The font library
    // allows this: its set-up may run on any thread, and a set-up already done is kept.
    std::thread fonts([] { FcInit(); });
    QApplication application(argc, argv);
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
    if (instance.handToRunningInstance(files)) {
        fonts.join();
        return 0;
    }
    if (!instance.listen() && instance.handToRunningInstance(files)) {
        fonts.join();
        return 0;
    }
    fonts.join();

    CKetrelApp app(std::make_unique<fw::Profile>());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tarvo.png")));
    QObject::connect(&instance, &fw::SingleInstance::filesReceived, &app,
                     &CKetrelApp::OpenHandedFiles);
    if (!app.InitInstance(files)) {
        return 1;
    }
    return application.exec();
}
