#include "javaservice/helpercache.h"

#include "framework/privatefolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <mutex>

namespace javaservice {

namespace {

// Long enough for a slow machine's first javac; a compiler that takes longer has hung.
constexpr int kCompileTimeoutMs = 120000;
// The file that says which sources, compiled by which JDK, the folder's classes come from. It is
// written after the classes, so a folder without it holds nothing to run.
const QString kStampName = QStringLiteral("tarvo-stamp");

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The stamp of a program's classes: its name, the JDK's version, the compiler options and every
// source, so that a newer Tarvo's program or another JDK compiles again.
QByteArray stampOf(const JavaHelper &helper, const QString &version, const QString &jdkFolder,
                   const QList<QByteArray> &sources) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto add = [&hash](const QByteArray &part) {
        hash.addData(QByteArray::number(part.size()) + ':');
        hash.addData(part);
    };
    add(helper.name.toUtf8());
    // A JDK without a version is told apart by its folder.
    add(version.isEmpty() ? jdkFolder.toUtf8() : version.toUtf8());
    add(helper.compilerOptions.join(QLatin1Char('\n')).toUtf8());
    for (qsizetype index = 0; index < sources.size(); ++index) {
        add(helper.sources.at(index).toUtf8());
        add(sources.at(index));
    }
    return hash.result().toHex();
}

// The fresh private folders made this run for programs whose cache could not be trusted, by
// program, version and stamp, so that each is compiled once a run. Removed when the process
// ends.
struct FreshFolders {
    std::mutex lock;
    QMap<QString, std::shared_ptr<QTemporaryDir>> folders;
};

FreshFolders &freshFolders() {
    static FreshFolders folders;
    return folders;
}

QString freshPrivateFolder(const QString &key, const QString &name) {
    FreshFolders &fresh = freshFolders();
    const std::lock_guard guard(fresh.lock);
    if (const auto found = fresh.folders.constFind(key); found != fresh.folders.cend()) {
        return (*found)->path();
    }
    // mkdtemp makes the folder 0700 and fails rather than take one that exists.
    auto folder = std::make_shared<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tarvo-")
                                                  + name + QStringLiteral("-XXXXXX"));
    if (!folder->isValid()) {
        return QString();
    }
    fresh.folders.insert(key, folder);
    return folder->path();
}

// One compile into the cache at a time: two services starting together share one program.
std::mutex &compileLock() {
    static std::mutex lock;
    return lock;
}

} // namespace

QString releaseVersion(const QString &releaseText) {
    static const QRegularExpression line(QStringLiteral("^JAVA_VERSION=\"?([^\"\\r\\n]*)\"?\\s*$"),
                                         QRegularExpression::MultilineOption);
    return line.match(releaseText).captured(1).trimmed();
}

QString jdkVersion(const QString &jdkFolder) {
    return releaseVersion(QString::fromUtf8(contentsOf(jdkFolder + QStringLiteral("/release"))));
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

QString cacheRoot() {
    const QString configured = qEnvironmentVariable("XDG_CACHE_HOME");
    if (QDir::isAbsolutePath(configured)) {
        return QDir::cleanPath(configured);
    }
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.cache"));
}

QString helperFolder(const QString &cacheRoot, const QString &name, const QString &version) {
    QString key = version;
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._+-]"));
    key.replace(unsafe, QStringLiteral("_"));
    if (key.isEmpty() || key == QLatin1String(".") || key == QLatin1String("..")) {
        key = QStringLiteral("unknown");
    }
    return cacheRoot + QStringLiteral("/tarvo/") + name + QLatin1Char('/') + key;
}

QStringList helpFolders(const QString &appFolder) {
    return {appFolder + QStringLiteral("/help"),
            QDir::cleanPath(appFolder + QStringLiteral("/../share/tarvo/help"))};
}

PreparedHelper prepareHelper(const QString &jdkFolder, const JavaHelper &helper,
                             const QStringList &helpFolders, const QString &cacheRoot) {
    QString sourceFolder;
    for (const QString &folder : helpFolders) {
        const bool holdsAll = std::all_of(
            helper.sources.cbegin(), helper.sources.cend(), [&folder](const QString &source) {
                return QFileInfo(folder + QLatin1Char('/') + source).isFile();
            });
        if (holdsAll) {
            sourceFolder = folder;
            break;
        }
    }
    if (sourceFolder.isEmpty()) {
        return {{},
                PreparedHelper::Failure::SourcesMissing,
                QStringLiteral("the sources of Tarvo's %1 are missing from its help folder")
                    .arg(helper.name),
                {}};
    }
    QStringList sourcePaths;
    QList<QByteArray> sources;
    for (const QString &source : helper.sources) {
        sourcePaths << sourceFolder + QLatin1Char('/') + source;
        sources << contentsOf(sourcePaths.last());
    }
    const QString version = jdkVersion(jdkFolder);
    const QByteArray stamp = stampOf(helper, version, jdkFolder, sources);

    const std::lock_guard guard(compileLock());
    const QString cached = helperFolder(cacheRoot, helper.name, version);
    QString folder = fw::privateFolder(cacheRoot, cached.mid(cacheRoot.size() + 1).split(u'/'));
    if (folder.isEmpty()) {
        folder = freshPrivateFolder(cached + QLatin1Char('\n') + QString::fromLatin1(stamp),
                                    helper.name);
        if (folder.isEmpty()) {
            return {
                {},
                PreparedHelper::Failure::NoPrivateFolder,
                QStringLiteral("Could not make a private folder for Tarvo's %1.").arg(helper.name),
                {}};
        }
    }
    const QString stampPath = folder + QLatin1Char('/') + kStampName;
    if (contentsOf(stampPath) == stamp) {
        return {folder, PreparedHelper::Failure::None, {}, {}};
    }
    QFile::remove(stampPath);
    QProcess javac;
    javac.setProcessChannelMode(QProcess::MergedChannels);
    javac.start(jdkFolder + QStringLiteral("/bin/javac"),
                helper.compilerOptions + QStringList{QStringLiteral("-d"), folder} + sourcePaths);
    if (!javac.waitForStarted()) {
        return {{},
                PreparedHelper::Failure::CompilerFailed,
                QStringLiteral("Failed to start process"),
                {}};
    }
    if (!javac.waitForFinished(kCompileTimeoutMs)) {
        javac.kill();
        javac.waitForFinished();
        return {{},
                PreparedHelper::Failure::CompilerFailed,
                QStringLiteral("Tarvo's %1 could not be compiled: javac did not finish.")
                    .arg(helper.name),
                {}};
    }
    const QString output = QString::fromLocal8Bit(javac.readAll());
    if (javac.exitStatus() != QProcess::NormalExit || javac.exitCode() != 0) {
        return {{},
                PreparedHelper::Failure::CompilerFailed,
                QStringLiteral("Tarvo's %1 could not be compiled:\n").arg(helper.name)
                    + output.trimmed(),
                output};
    }
    QFile stampFile(stampPath);
    if (stampFile.open(QIODevice::WriteOnly)) {
        stampFile.write(stamp);
    }
    return {folder, PreparedHelper::Failure::None, {}, {}};
}

} // namespace javaservice
