#include "tools/applethost.h"

#include "support/qtprinters.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// Applets live in every JDK up to 25; a JDK without a known version is given the benefit of
// the doubt, and the compiler tells otherwise.
TEST(AppletHostTest, KnowsWhichJdksHaveTheAppletClasses) {
    for (const auto &[feature, appletClasses] :
         {std::pair{8, true}, {17, true}, {25, true}, {26, false}, {0, true}}) {
        EXPECT_EQ(jdk::hasAppletClasses(feature), appletClasses) << feature;
    }
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
