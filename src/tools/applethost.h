#pragma once

#include "javaservice/helpercache.h"
#include "tools/jdkcommands.h"

#include <QString>
#include <QStringList>

// Run Applet on a JDK without appletviewer: Tarvo's own applet host (AppletHost.java, installed
// with the help files) is compiled with the user's JDK into the private per-user cache of Tarvo's
// Java programs, one folder for each JDK version, and runs the page's applets in windows of
// their own.
namespace jdk {

// The class and source file of the host.
inline constexpr char kAppletHostClass[] = "AppletHost";
inline constexpr char kAppletHostSource[] = "AppletHost.java";

// Whether a JDK of that feature number has the applet classes (java.applet): every JDK up to
// 25; an unknown version (0) is given the benefit of the doubt.
bool hasAppletClasses(int feature);
// What the user is told when the JDK has no applet classes.
QString noAppletClassesMessage(const QString &version);

// The host as one of Tarvo's Java programs, compiled into the cache of helpercache.h.
javaservice::JavaHelper appletHostHelper();
// java -cp FOLDER AppletHost PAGE, in the page's folder.
ToolCommand appletHostCommand(const QString &jdkFolder, const QString &classFolder,
                              const QString &htmlPath, const QString &htmlFile);

// Whether the JDK folder has bin/appletviewer as a program.
bool hasAppletViewer(const QString &jdkFolder);

struct AppletHostPrepared {
    QString classFolder; // the compiled host's folder, when ready
    QString error;       // what to tell the user, when not
};

// Finds the host's source, and compiles it with the JDK's javac into its cache folder below
// cacheRoot unless classes compiled from the same source are already there. Waits for the
// compiler (a few seconds at most, once for each JDK version).
AppletHostPrepared prepareAppletHost(const QString &jdkFolder, const QString &appFolder,
                                     const QString &cacheRoot);

} // namespace jdk
