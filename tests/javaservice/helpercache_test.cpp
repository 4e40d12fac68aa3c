// The private cache of Tarvo's Java programs: where it is, that it is made private whatever the
// umask, and that a cache another user could have written is never run.
#include "javaservice/helpercache.h"

#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace {

using javaservice::PreparedHelper;
using testing_support::makeScratchFolder;
using testing_support::writeFileIn;

constexpr uid_t kOtherUser = 65534; // nobody

auto setVariable(const char *name, const QByteArray &value) {
    const bool had = qEnvironmentVariableIsSet(name);
    const QByteArray old = qgetenv(name);
    qputenv(name, value);
    return qScopeGuard([=] { had ? qputenv(name, old) : qunsetenv(name); });
}

mode_t modeOf(const QString &path) {
    struct stat info {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Runs body in a child process acting as another user; whether it ran and succeeded.
bool asOtherUser(const std::function<bool()> &body) {
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0) {
            _exit(2);
        }
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(HelperCacheTest, ReadsTheJdkVersionFromItsReleaseFile) {
    const struct {
        QString release, version;
        int feature;
    } cases[] = {
        {"IMPLEMENTOR=\"Debian\"\nJAVA_RUNTIME_VERSION=\"17.0.15+6\"\nJAVA_VERSION=\"17.0.15\"\n",
         "17.0.15", 17},
        {"JAVA_VERSION=\"1.8.0_372\"\r\nOS_NAME=\"Linux\"\r\n", "1.8.0_372", 8},
        {"JAVA_VERSION=\"26-ea\"\n", "26-ea", 26},
        {"", "", 0},
    };
    for (const auto &test : cases) {
        const QString version = javaservice::releaseVersion(test.release);
        EXPECT_EQ(version, test.version);
        EXPECT_EQ(javaservice::featureVersion(version), test.feature) << version.toStdString();
    }
}

// The version comes from a file in the JDK folder: it never leads out of the cache.
TEST(HelperCacheTest, FolderStaysInsideTheCache) {
    const QString cache = "/home/u/.cache/tarvo/applethost/";
    EXPECT_EQ(javaservice::helperFolder("/home/u/.cache", "applethost", ""), cache + "unknown");
    EXPECT_EQ(javaservice::helperFolder("/home/u/.cache", "applethost", "../../bin"),
              cache + ".._.._bin");
    EXPECT_EQ(javaservice::helperFolder("/home/u/.cache", "applethost", ".."), cache + "unknown");
    EXPECT_EQ(javaservice::helperFolder("/home/u/.cache", "applethost", "17 \"x\""),
              cache + "17__x_");
}

TEST(HelperCacheTest, RelativeXdgCacheHomeIsIgnored) {
    const auto home = setVariable("HOME", "/home/u");
    {
        const auto cache = setVariable("XDG_CACHE_HOME", "relative/cache");
        EXPECT_EQ(javaservice::cacheRoot(), "/home/u/.cache");
    }
    const auto cache = setVariable("XDG_CACHE_HOME", "/var/cache/u/");
    EXPECT_EQ(javaservice::cacheRoot(), "/var/cache/u");
}

// A JDK whose javac writes one class file into the -d folder and counts its runs, and a help
// folder with the program's source.
class HelperCacheFolderTest : public testing::Test {
protected:
    void SetUp() override {
        folder = makeScratchFolder("helpercache");
        writeFileIn(folder, "jdk/release", "JAVA_VERSION=\"17.0.15\"\n");
        const QString javac = writeFileIn(
            folder, "jdk/bin/javac",
            "#!/bin/sh\nwhile [ $# -gt 0 ]; do [ \"$1\" = -d ] && d=$2; shift; done\n"
            "echo run >> \"$(dirname \"$0\")/runs\"\necho compiled > \"$d/Hello.class\"\n");
        QFile::setPermissions(javac, QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        writeFileIn(folder, "help/Hello.java", "class Hello {}\n");
        // Where another user can reach the cache, as in a shared folder.
        ASSERT_TRUE(shared.isValid());
        chmod(QFile::encodeName(shared.path()).constData(), 0755);
        root = shared.path() + "/cache";
    }
    PreparedHelper prepare() {
        return javaservice::prepareHelper(folder + "/jdk", {"hello", {"Hello.java"}, {}},
                                          {folder + "/nothing", folder + "/help"}, root);
    }
    int compilerRuns() const {
        QFile runs(folder + "/jdk/bin/runs");
        return runs.open(QIODevice::ReadOnly) ? int(runs.readAll().count('\n')) : 0;
    }
    QString cached() const { return root + "/tarvo/hello/17.0.15"; }

    QString folder;
    QTemporaryDir shared{QDir::tempPath() + "/tarvo-shared-XXXXXX"};
    QString root;
};

TEST_F(HelperCacheFolderTest, CompilesOnceIntoPrivateFoldersEvenWithUmaskZero) {
    const mode_t previous = umask(0);
    const auto restore = qScopeGuard([previous] { umask(previous); });
    const PreparedHelper first = prepare();
    EXPECT_EQ(first.error, "");
    EXPECT_EQ(first.classFolder, cached());
    for (const QString &made : {root, root + "/tarvo", root + "/tarvo/hello", cached()}) {
        EXPECT_EQ(modeOf(made), 0700u) << made.toStdString();
    }
    EXPECT_EQ(prepare().classFolder, cached());
    EXPECT_EQ(compilerRuns(), 1);
    // A changed source is compiled again.
    writeFileIn(folder, "help/Hello.java", "class Hello { int x; }\n");
    EXPECT_EQ(prepare().classFolder, cached());
    EXPECT_EQ(compilerRuns(), 2);
}

TEST_F(HelperCacheFolderTest, MissingSourceIsToldAndNothingIsCompiled) {
    QFile::remove(folder + "/help/Hello.java");
    const PreparedHelper prepared = prepare();
    EXPECT_EQ(prepared.failure, PreparedHelper::Failure::SourcesMissing);
    EXPECT_EQ(prepared.classFolder, "");
    EXPECT_EQ(compilerRuns(), 0);
}

// Each case leaves a cache that someone else could have written: the program is compiled into
// a fresh private folder instead, and what was planted is never used.
struct UntrustedCase {
    const char *name;
    bool needsOtherUser;
    std::function<bool(const QString &root)> plant;
};

class UntrustedCacheTest : public HelperCacheFolderTest,
                           public testing::WithParamInterface<UntrustedCase> {};

TEST_P(UntrustedCacheTest, IsNotUsedAndAFreshPrivateFolderIs) {
    if (GetParam().needsOtherUser && geteuid() != 0) {
        GTEST_SKIP() << "acting as another user needs root";
    }
    QDir().mkpath(root);
    ASSERT_TRUE(GetParam().plant(root));
    const PreparedHelper prepared = prepare();
    EXPECT_EQ(prepared.error, "");
    ASSERT_NE(prepared.classFolder, "");
    EXPECT_FALSE(prepared.classFolder.startsWith(root)) << prepared.classFolder.toStdString();
    EXPECT_EQ(modeOf(prepared.classFolder), 0700u);
    QFile compiled(prepared.classFolder + "/Hello.class");
    ASSERT_TRUE(compiled.open(QIODevice::ReadOnly));
    EXPECT_EQ(compiled.readAll(), "compiled\n");
    EXPECT_EQ(compilerRuns(), 1);
    // The fresh folder serves the rest of the run.
    EXPECT_EQ(prepare().classFolder, prepared.classFolder);
    EXPECT_EQ(compilerRuns(), 1);
}

// A cache folder made by another user, ready with a stamp and a class of theirs.
bool plantOthersCache(const QString &root) {
    chmod(QFile::encodeName(root).constData(), 01777);
    return asOtherUser([root] {
        const QString cached = root + "/tarvo/hello/17.0.15";
        QFile planted(cached + "/Hello.class");
        return QDir().mkpath(cached) && planted.open(QIODevice::WriteOnly)
               && planted.write("planted\n") == 8;
    });
}

const UntrustedCase kUntrustedCases[] = {
    {"FolderOfAnotherUser", true, plantOthersCache},
    {"LinkToAFolderOfAnotherUser", true,
     [](const QString &root) {
         const QString theirs = root + "/../theirs";
         return QDir().mkpath(theirs)
                && chown(QFile::encodeName(theirs).constData(), kOtherUser, kOtherUser) == 0
                && QFile::link(theirs, root + "/tarvo");
     }},
    {"OwnFolderWritableByOthers", false,
     [](const QString &root) {
         return QDir().mkpath(root + "/tarvo/hello")
                && chmod(QFile::encodeName(root + "/tarvo/hello").constData(), 0777) == 0;
     }},
    {"RootWritableByOthersWithoutTheStickyRule", false,
     [](const QString &root) { return chmod(QFile::encodeName(root).constData(), 0777) == 0; }},
};

INSTANTIATE_TEST_SUITE_P(Cases, UntrustedCacheTest, testing::ValuesIn(kUntrustedCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
