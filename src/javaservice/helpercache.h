#pragma once

#include <QString>
#include <QStringList>

// Tarvo's own Java programs (the applet host, the compiler service) ship as source in the help
// folder and are compiled with the user's JDK on first use into a per-user cache, one folder for
// each program and JDK version: <cache root>/tarvo/<program>/<version>.
//
// The cache is code that Tarvo runs as the user, so it is trusted only as far as nobody else can
// write it: the folders Tarvo makes are private (0700, whatever the umask), and a folder of the
// cache that is a link, belongs to someone else or can be written by others is not used. The
// program is then compiled into a fresh private folder of its own under the temporary folder,
// which lasts as long as this process.
namespace javaservice {

// The JAVA_VERSION of a JDK's release file ("17.0.15", "1.8.0_372"); empty when it has none.
QString releaseVersion(const QString &releaseText);
// The JAVA_VERSION of the JDK in jdkFolder; empty when it has no readable release file.
QString jdkVersion(const QString &jdkFolder);
// The feature number of a Java version: 8 for "1.8.0_372", 17 for "17.0.15", 26 for "26-ea";
// 0 when the text is no version.
int featureVersion(const QString &version);

// The per-user cache root: $XDG_CACHE_HOME when it is an absolute path (a relative one is
// ignored, as the XDG rules say), else $HOME/.cache.
QString cacheRoot();

// One of Tarvo's Java programs.
struct JavaHelper {
    QString name;                // its cache folder: "applethost"
    QStringList sources;         // its source files, relative to the help folder
    QStringList compilerOptions; // given to javac before -d
};

// Where a program's classes are kept for a JDK version. Characters of the version that could
// lead out of that folder are replaced, and a JDK without a known version gets "unknown".
QString helperFolder(const QString &cacheRoot, const QString &name, const QString &version);

// The folders a program's sources may be in, in the order they are looked in: the help folder
// beside Tarvo's program (the build tree), then the installed one.
QStringList helpFolders(const QString &appFolder);

struct PreparedHelper {
    enum class Failure { None, SourcesMissing, NoPrivateFolder, CompilerFailed };
    QString classFolder; // the compiled classes' folder, when ready
    Failure failure = Failure::None;
    QString error;          // what to tell the user, when not ready
    QString compilerOutput; // what javac printed when it failed
};

// Finds the program's sources in the first help folder that holds them all and compiles them
// with the JDK's javac into the program's cache folder, unless classes compiled from the same
// sources by the same JDK are there already. Waits for the compiler; callers on the user
// interface thread show the wait cursor.
PreparedHelper prepareHelper(const QString &jdkFolder, const JavaHelper &helper,
                             const QStringList &helpFolders, const QString &cacheRoot);

} // namespace javaservice
