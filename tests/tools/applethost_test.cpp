#include "tools/applethost.h"

#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace {

struct VersionCase {
    const char *name;
    QString release;
    QString version;
    int feature;
    bool appletClasses;
};

class JdkVersionTest : public testing::TestWithParam<VersionCase> {};

TEST_P(JdkVersionTest, ReadsTheReleaseFileAndKnowsTheAppletClasses) {
    const VersionCase &test = GetParam();
    const QString version = jdk::releaseVersion(test.release);
    EXPECT_EQ(version, test.version);
    EXPECT_EQ(jdk::featureVersion(version), test.feature);
    EXPECT_EQ(jdk::hasAppletClasses(jdk::featureVersion(version)), test.appletClasses);
}

const VersionCase kVersionCases[] = {
    {"Jdk17AmongOtherLines",
     "IMPLEMENTOR=\"Debian\"\nJAVA_RUNTIME_VERSION=\"17.0.15+6\"\nJAVA_VERSION=\"17.0.15\"\n",
     "17.0.15", 17, true},
    {"Jdk8CountsAsEight", "JAVA_VERSION=\"1.8.0_372\"\r\nOS_NAME=\"Linux\"\r\n", "1.8.0_372", 8,
     true},
    {"Jdk25IsTheLastWithApplets", "JAVA_VERSION=\"25\"\n", "25", 25, true},
    {"Jdk26HasNone", "JAVA_VERSION=\"26-ea\"\n", "26-ea", 26, false},
    {"UnquotedValue", "JAVA_VERSION=21.0.2\n", "21.0.2", 21, true},
    // A JDK without a release file may still run applets; the compiler tells otherwise.
    {"NoReleaseFile", "", "", 0, true},
};

INSTANTIATE_TEST_SUITE_P(Versions, JdkVersionTest, testing::ValuesIn(kVersionCases),
                         testing_support::CaseName());

TEST(AppletHostTest, NoAppletClassesMessageNamesTheJdksThatHaveThem) {
    const QString message = jdk::noAppletClassesMessage("26");
    EXPECT_TRUE(message.startsWith("This JDK (Java 26) has no applet classes"));
    EXPECT_TRUE(message.contains("JDK 1.0 up to JDK 25"));
    EXPECT_TRUE(jdk::noAppletClassesMessage("").startsWith("This JDK has no applet classes"));
}

struct FolderCase {
    const char *name;
    QString version;
    QString folder;
};

class AppletHostFolderTest : public testing::TestWithParam<FolderCase> {};

TEST_P(AppletHostFolderTest, StaysInsideTheCache) {
    EXPECT_EQ(jdk::appletHostFolder("/home/u/.cache", GetParam().version), GetParam().folder);
}

const FolderCase kFolderCases[] = {
    {"OneFolderForEachVersion", "17.0.15+6", "/home/u/.cache/tarvo/applethost/17.0.15+6"},
    {"UnknownVersion", "", "/home/u/.cache/tarvo/applethost/unknown"},
    // The version comes from a file in the JDK folder: it never leads out of the cache.
    {"SeparatorsAreReplaced", "../../bin", "/home/u/.cache/tarvo/applethost/.._.._bin"},
    {"ParentFolderName", "..", "/home/u/.cache/tarvo/applethost/unknown"},
    {"BlanksAndQuotes", "17 \"x\"", "/home/u/.cache/tarvo/applethost/17__x_"},
};

INSTANTIATE_TEST_SUITE_P(Folders, AppletHostFolderTest, testing::ValuesIn(kFolderCases),
                         testing_support::CaseName());

struct HostCommandCase {
    const char *name;
    QString classFolder, htmlPath, htmlFile;
    QString commandLine;
    QString folder;
};

class AppletHostCommandTest : public testing::TestWithParam<HostCommandCase> {};

TEST_P(AppletHostCommandTest, RunsTheHostOnThePageInItsFolder) {
    const HostCommandCase &test = GetParam();
    const jdk::ToolCommand command =
        jdk::appletHostCommand("/jdk", test.classFolder, test.htmlPath, test.htmlFile);
    EXPECT_EQ(command.program, "/jdk/bin/java");
    EXPECT_EQ(command.commandLine, test.commandLine);
    EXPECT_EQ(command.folder, test.folder);
}

const HostCommandCase kHostCommandCases[] = {
    {"Plain", "/c/tarvo/applethost/17", "/w/Example1.html", "Example1.html",
     "java -cp /c/tarvo/applethost/17 AppletHost Example1.html", "/w"},
    {"CacheWithABlankIsOneArgument", "/home/A B/.cache/h", "/w/p.html", "p.html",
     "java -cp \"/home/A B/.cache/h\" AppletHost p.html", "/w"},
    {"PageWithABlankIsOneArgument", "/c", "/w/My Page.html", "My Page.html",
     "java -cp /c AppletHost \"My Page.html\"", "/w"},
    {"PageLikeAnOptionIsAPath", "/c", "/w/-Dx=1.html", "-Dx=1.html",
     "java -cp /c AppletHost ./-Dx=1.html", "/w"},
};

INSTANTIATE_TEST_SUITE_P(Commands, AppletHostCommandTest, testing::ValuesIn(kHostCommandCases),
                         testing_support::CaseName());

TEST(AppletHostTest, SourceIsLookedForBesideTheProgramThenInTheInstalledShare) {
    EXPECT_EQ(jdk::appletHostSourceCandidates("/opt/tarvo/bin"),
              (QStringList{"/opt/tarvo/bin/help/AppletHost.java",
                           "/opt/tarvo/share/tarvo/help/AppletHost.java"}));
}

} // namespace
