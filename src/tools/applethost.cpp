#include "tools/applethost.h"

#include <QFileInfo>

namespace jdk {

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

javaservice::JavaHelper appletHostHelper() {
    return {QStringLiteral("applethost"),
            {QLatin1String(kAppletHostSource)},
            {QStringLiteral("-nowarn"), QStringLiteral("-encoding"), QStringLiteral("UTF-8")}};
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
    const QString version = javaservice::jdkVersion(jdkFolder);
    if (!hasAppletClasses(javaservice::featureVersion(version))) {
        return {{}, noAppletClassesMessage(version)};
    }
    const javaservice::PreparedHelper host = javaservice::prepareHelper(
        jdkFolder, appletHostHelper(), javaservice::helpFolders(appFolder), cacheRoot);
    if (host.compilerOutput.contains(QStringLiteral("java.applet"))) {
        return {{}, noAppletClassesMessage(version)};
    }
    if (host.failure == javaservice::PreparedHelper::Failure::SourcesMissing) {
        return {{},
                QStringLiteral("The applet host (%1) is missing from Tarvo's help folder.")
                    .arg(QLatin1String(kAppletHostSource))};
    }
    return {host.classFolder, host.error};
}

} // namespace jdk
