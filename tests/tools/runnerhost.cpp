// A stand-in for Tarvo in tests that kill it: it starts what it is told to as Tarvo does, writes
// the ids of what it started on its standard output, and waits to be killed.
//   runnerhost run SCRIPT FOLDER                  a captured run of SCRIPT in FOLDER
//   runnerhost service JDK FOLDER HELP CACHE      the JDK's Java service, serving FOLDER
#include "javaservice/javaserviceclient.h"
#include "tools/processrunner.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const auto say = [](const QByteArray &text) {
        std::fputs(text.constData(), stdout);
        std::fflush(stdout);
    };
    if (arguments.value(1) == "run" && arguments.size() == 4) {
        CProcessRunner runner;
        if (!runner.Start(arguments[2], "child", arguments[3])) {
            return 2;
        }
        say("running\n");
        return QCoreApplication::exec();
    }
    if (arguments.value(1) == "service" && arguments.size() == 6) {
        javaservice::JavaServiceClient::Settings settings;
        settings.helpFolders = {arguments[4]};
        settings.cacheRoot = arguments[5];
        javaservice::JavaServiceClient client(settings);
        const QString jdk = arguments[2];
        const QString folder = arguments[3];
        QObject::connect(&client, &javaservice::JavaServiceClient::toolFinished, [&] {
            say(QByteArray::number(client.serviceProcessId(jdk, folder)) + "\n");
        });
        QObject::connect(&client, &javaservice::JavaServiceClient::failed,
                         [] { QCoreApplication::exit(3); });
        client.runTool(jdk, folder, "javac", {"-version"});
        return QCoreApplication::exec();
    }
    return 1;
}
