#include "tools/javaservices.h"

#include "javaservice/helpercache.h"
#include "services/appsettings.h"
#include "services/ideservices.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

const QString kUnavailableNote =
    QStringLiteral("Builds start javac each time: the Java compiler cannot be kept running (%1).");

javaservice::JavaServiceClient *makeClient() {
    javaservice::JavaServiceClient::Settings settings;
    settings.cacheRoot = javaservice::cacheRoot();
    auto *client = new javaservice::JavaServiceClient(settings, QCoreApplication::instance());
    QObject::connect(client, &javaservice::JavaServiceClient::unavailable, client,
                     [](const QString &, const QString &reason) {
                         if (IdeServices *ide = IdeServices::instance()) {
                             ide->showStatusNote(kUnavailableNote.arg(reason.section(u'\n', 0, 0)));
                         }
                     });
    return client;
}

} // namespace

javaservice::JavaServiceClient &javaServices() {
    static QPointer<javaservice::JavaServiceClient> client;
    if (!client) {
        client = makeClient();
    }
    if (IdeServices *ide = IdeServices::instance()) {
        client->settings().helpFolders = javaservice::helpFolders(ide->appFolder());
    }
    return *client;
}

bool keepsCompilerRunning() {
    IdeServices *ide = IdeServices::instance();
    return ide && ide->settings().keepCompilerRunning != 0;
}

bool javaServiceCanServe(const QString &jdkFolder) {
    return javaservice::featureVersion(javaservice::jdkVersion(jdkFolder)) >= 9
           && !javaServices().isUnavailable(jdkFolder);
}

void endJavaServices() {
    javaServices().shutdown();
}
