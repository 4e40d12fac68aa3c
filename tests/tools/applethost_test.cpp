#include "tools/applethost.h"

#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace {

// The version in a JDK's release file decides whether it still has the applet classes.
TEST(AppletHostTest, ReadsTheReleaseFileAndKnowsTheAppletClasses) {
    const struct {
        QString release, version;
        int feature;
        bool appletClasses;
    } cases[] = {
        {"IMPLEMENTOR=\"Debian\"\nJAVA_RUNTIME_VERSION=\"17.0.15+6\"\nJAVA_VERSION=\"17.0.15\"\n",
         "17.0.15", 17, true},
        {"JAVA_VERSION=\"1.8.0_372\"\r\nOS_NAME=\"Linux\"\r\n", "1.8.0_372", 8, true},
        {"JAVA_VERSION=\"26-ea\"\n", "26-ea", 26, false},
        // A JDK without a release file may still run applets; the compiler tells otherwise.
        {"", "", 0, true},
    };
    for (const auto &test : cases) {
        const QString version = jdk::releaseVersion(test.release);
        EXPECT_EQ(version, test.version);
        EXPECT_EQ(jdk::featureVersion(version), test.feature) << version.toStdString();
        EXPECT_EQ(jdk::hasAppletClasses(jdk::featureVersion(version)), test.appletClasses)
            << version.toStdString();
    }
}

// The version comes from a file in the JDK folder: it never leads out of the cache.
TEST(AppletHostTest, FolderStaysInsideTheCache) {
    const QString cache = "/home/u/.cache/tarvo/applethost/";
    EXPECT_EQ(jdk::appletHostFolder("/home/u/.cache", ""), cache + "unknown");
    EXPECT_EQ(jdk::appletHostFolder("/home/u/.cache", "../../bin"), cache + ".._.._bin");
    EXPECT_EQ(jdk::appletHostFolder("/home/u/.cache", ".."), cache + "unknown");
    EXPECT_EQ(jdk::appletHostFolder("/home/u/.cache", "17 \"x\""), cache + "17__x_");
}

// Blanks and a leading dash in the paths must not split an argument or become a java option.
TEST(AppletHostTest, RunsTheHostOnThePageInItsFolder) {
    const struct {
        QString classFolder, htmlPath, htmlFile, commandLine;
    } cases[] = {
        {"/home/A B/.cache/h", "/w/p.html", "p.html",
         "java -cp \"/home/A B/.cache/h\" AppletHost p.html"},
        {"/c", "/w/My Page.html", "My Page.html", "java -cp /c AppletHost \"My Page.html\""},
        {"/c", "/w/-Dx=1.html", "-Dx=1.html", "java -cp /c AppletHost ./-Dx=1.html"},
    };
    for (const auto &test : cases) {
        const jdk::ToolCommand command =
            jdk::appletHostCommand("/jdk", test.classFolder, test.htmlPath, test.htmlFile);
        EXPECT_EQ(command.commandLine, test.commandLine);
        EXPECT_EQ(command.folder, "/w");
    }
}

} // namespace
