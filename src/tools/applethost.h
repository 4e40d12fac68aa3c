#pragma once

#include "tools/jdkcommands.h"

#include <QString>
#include <QStringList>

// Run Applet on a JDK without appletviewer: Tarvo's own applet host (AppletHost.java, installed
// with the help files) is compiled with the user's JDK into a per-user cache, one folder for
// each JDK version, and runs the page's applets in windows of their own.
namespace jdk {

// The class and source file of the host.
inline constexpr char kAppletHostClass[] = "AppletHost";
inline constexpr char kAppletHostSource[] = "AppletHost.java";

// The JAVA_VERSION of a JDK's release file ("17.0.15", "1.8.0_372"); empty when it has none.
QString releaseVersion(const QString &releaseText);
// The feature number of a Java version: 8 for "1.8.0_372", 17 for "17.0.15", 26 for "26-ea";
// 0 when the text is no version.
int featureVersion(const QString &version);
// Whether a JDK of that feature number has the applet classes (java.applet): every JDK up to
// 25; an unknown version (0) is given the benefit of the doubt.
bool hasAppletClasses(int feature);
// What the user is told when the JDK has no applet classes.
QString noAppletClassesMessage(const QString &version);

// Where the host's compiled classes are kept for a JDK version: <cacheRoot>/tarvo/applethost/
// <version>. Characters of the version that could lead out of that folder are replaced, and a
// JDK without a known version gets the folder "unknown".
QString appletHostFolder(const QString &cacheRoot, const QString &version);
// Where the host's source may be, in the order it is looked for: the help folder beside the
// program (the build tree), then the installed one.
QStringList appletHostSourceCandidates(const QString &appFolder);
// The arguments of the javac that compiles the host's source into classFolder.
QStringList appletHostCompileArguments(const QString &sourcePath, const QString &classFolder);
// java -cp FOLDER AppletHost PAGE, in the page's folder.
ToolCommand appletHostCommand(const QString &jdkFolder, const QString &classFolder,
                              const QString &htmlPath, const QString &htmlFile);

// Whether the JDK folder has bin/appletviewer as a program.
bool hasAppletViewer(const QString &jdkFolder);

struct AppletHostPrepared {
    QString classFolder; // the compiled host's folder, when ready
    QString error;       // what to tell the user, when not
};

// Finds the host's source, and compiles it with the JDK's javac into its cache folder unless
// classes compiled from the same source are already there. Waits for the compiler (a few
// seconds at most, once for each JDK version).
AppletHostPrepared prepareAppletHost(const QString &jdkFolder, const QString &appFolder,
                                     const QString &cacheRoot);

} // namespace jdk
