#include "tools/applethost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace jdk {

namespace {
// Long enough for a slow machine's first javac; a compiler that takes longer has hung.
constexpr int kCompileTimeoutMs = 120000;

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

QString releaseVersion(const QString &releaseText) {
    static const QRegularExpression line(QStringLiteral("^JAVA_VERSION=\"?([^\"\\r\\n]*)\"?\\s*$"),
                                         QRegularExpression::MultilineOption);
    return line.match(releaseText).captured(1).trimmed();
}

int featureVersion(const QString &version) {
    static const QRegularExpression number(QStringLiteral("^(\\d+)(?:\\.(\\d+))?"));
    const QRegularExpressionMatch match = number.match(version);
    if (!match.hasMatch()) {
        return 0;
    }
    const int first = match.captured(1).toInt();
    // Up to Java 8 the versions read 1.x.
    return first == 1 && !match.captured(2).isEmpty() ? match.captured(2).toInt() : first;
}

bool hasAppletClasses(int feature) {
    return feature <= 25;
}

QString noAppletClassesMessage(const QString &version) {
    const QString jdkName = version.isEmpty() ? QStringLiteral("This JDK")
                                              : QStringLiteral("This JDK (Java %1)").arg(version);
    return jdkName
           + QStringLiteral(" has no applet classes (java.applet), so it cannot run applets.\n"
                            "The applet classes are in JDK 1.0 up to JDK 25; set the JDK folder in "
                            "the options to such a JDK to run applets.");
}

QString appletHostFolder(const QString &cacheRoot, const QString &version) {
    QString key = version;
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._+-]"));
    key.replace(unsafe, QStringLiteral("_"));
    if (key.isEmpty() || key == QLatin1String(".") || key == QLatin1String("..")) {
        key = QStringLiteral("unknown");
    }
    return cacheRoot + QStringLiteral("/tarvo/applethost/") + key;
}

QStringList appletHostSourceCandidates(const QString &appFolder) {
    const QString name = QLatin1String(kAppletHostSource);
    return {appFolder + QStringLiteral("/help/") + name,
            QDir::cleanPath(appFolder + QStringLiteral("/../share/tarvo/help/") + name)};
}

QStringList appletHostCompileArguments(const QString &sourcePath, const QString &classFolder) {
    return {QStringLiteral("-nowarn"),
            QStringLiteral("-encoding"),
            QStringLiteral("UTF-8"),
            QStringLiteral("-d"),
            classFolder,
            sourcePath};
}

ToolCommand appletHostCommand(const QString &jdkFolder, const QString &classFolder,
                              const QString &htmlPath, const QString &htmlFile) {
    return {toolProgram(jdkFolder, QStringLiteral("java")),
            QStringLiteral("java -cp ") + argumentFor(toolName(classFolder)) + QLatin1Char(' ')
                + QLatin1String(kAppletHostClass) + QLatin1Char(' ')
                + argumentFor(toolName(htmlFile)),
            folderOf(htmlPath)};
}

bool hasAppletViewer(const QString &jdkFolder) {
    const QFileInfo viewer(toolProgram(jdkFolder, QStringLiteral("appletviewer")));
    return viewer.isFile() && viewer.isExecutable();
}

AppletHostPrepared prepareAppletHost(const QString &jdkFolder, const QString &appFolder,
                                     const QString &cacheRoot) {
    const QString version =
        releaseVersion(QString::fromUtf8(contentsOf(jdkFolder + QStringLiteral("/release"))));
    if (!hasAppletClasses(featureVersion(version))) {
        return {{}, noAppletClassesMessage(version)};
    }
    QString sourcePath;
    for (const QString &candidate : appletHostSourceCandidates(appFolder)) {
        if (QFileInfo(candidate).isFile()) {
            sourcePath = candidate;
            break;
        }
    }
    if (sourcePath.isEmpty()) {
        return {{},
                QStringLiteral("The applet host (%1) is missing from Tarvo's help folder.")
                    .arg(QLatin1String(kAppletHostSource))};
    }
    const QByteArray source = contentsOf(sourcePath);
    const QString folder = appletHostFolder(cacheRoot, version);
    // The cache keeps a copy of the source its classes were compiled from: a newer Tarvo's host
    // is compiled again.
    const QString cachedSource = folder + QLatin1Char('/') + QLatin1String(kAppletHostSource);
    const QString cachedClass =
        folder + QLatin1Char('/') + QLatin1String(kAppletHostClass) + QStringLiteral(".class");
    if (QFileInfo(cachedClass).isFile() && contentsOf(cachedSource) == source) {
        return {folder, {}};
    }
    if (!QDir().mkpath(folder)) {
        return {{},
                QStringLiteral("Could not make the folder %1 for the applet host.").arg(folder)};
    }
    QFile::remove(cachedSource);
    QProcess javac;
    javac.setProcessChannelMode(QProcess::MergedChannels);
    javac.start(toolProgram(jdkFolder, QStringLiteral("javac")),
                appletHostCompileArguments(sourcePath, folder));
    if (!javac.waitForStarted()) {
        return {{}, QStringLiteral("Failed to start process")};
    }
    if (!javac.waitForFinished(kCompileTimeoutMs)) {
        javac.kill();
        javac.waitForFinished();
        return {{}, QStringLiteral("The applet host could not be compiled: javac did not finish.")};
    }
    const QString output = QString::fromLocal8Bit(javac.readAll());
    if (javac.exitStatus() != QProcess::NormalExit || javac.exitCode() != 0) {
        if (output.contains(QStringLiteral("java.applet"))) {
            return {{}, noAppletClassesMessage(version)};
        }
        return {{}, QStringLiteral("The applet host could not be compiled:\n") + output.trimmed()};
    }
    QFile copy(cachedSource);
    if (copy.open(QIODevice::WriteOnly)) {
        copy.write(source);
    }
    return {folder, {}};
}

} // namespace jdk
