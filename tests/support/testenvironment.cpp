#include "support/testenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <cstdlib>
#include <memory>

namespace testing_support {

namespace {
std::unique_ptr<QTemporaryDir> &runDir() {
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

QString runFolder() {
    if (!runDir()) {
        runDir() = std::make_unique<QTemporaryDir>(QDir::tempPath()
                                                   + QStringLiteral("/tarvo-test-XXXXXX"));
    }
    return runDir()->path();
}

void isolateSettings() {
    const QString root = runFolder();
    const QString config = root + QStringLiteral("/config");
    QDir().mkpath(config);
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    qputenv("HOME", root.toLocal8Bit());
    qputenv("XDG_STATE_HOME", (root + QStringLiteral("/state")).toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
}

QString makeScratchFolder(const QString &name) {
    static int counter = 0;
    const QString path = runFolder() + QStringLiteral("/") + name + QString::number(++counter);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

QString writeFileIn(const QString &folder, const QString &name, const QByteArray &bytes) {
    const QString path = folder + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("Cannot write test file %s", qPrintable(path));
    }
    return path;
}

bool processEventsUntil(const std::function<bool()> &condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return condition();
}

QString installedJdk() {
    const QString home = qEnvironmentVariable("JAVA_HOME");
    return QDir::cleanPath(home.isEmpty()
                               ? QFileInfo(QStringLiteral("/usr/bin/javac")).canonicalFilePath()
                                     + QStringLiteral("/../..")
                               : home);
}

} // namespace testing_support
