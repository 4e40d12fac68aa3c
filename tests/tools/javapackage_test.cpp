#include "tools/javapackage.h"

#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(DeclaredPackage, IsTheFirstPackageStatementOutsideCommentsAndLiterals) {
    const std::pair<QString, QString> cases[] = {
        {"import java.util.List;\nclass Main {}", ""},
        {"/* package old.one; */\n// package older;\npackage a.b;", "a.b"},
        {"package com . /* x */ example\n.app ;", "com.example.app"},
        {"package a.;\npackage b;", ""}, // a malformed first statement declares none
        {"packages x;\nmypackage y;\npackage z;", "z"},
        {"String s = \"package x;\"; char c = '\"';\npackage y;", "y"},
        {"/* package a;", ""}, // an unclosed comment hides the rest
    };
    for (const auto &[source, package] : cases) {
        EXPECT_EQ(jdk::declaredPackage(source), package) << source.toStdString();
    }
}

// The public top-level type is the one javac wants the file named after; members, comments,
// literals and types that are not public do not count.
TEST(DeclaredPublicClass, IsThePublicTopLevelTypeOutsideCommentsAndLiterals) {
    const std::pair<QString, QString> cases[] = {
        {"class Vosk {}\npublic class Helper {\n  public class Inner {}\n}", "Helper"},
        {"// public class Old\n/* public class Older */ class A {}", ""},
        {"class A { String s = \"}\"; public class Inner {} }", ""},
        {"@SuppressWarnings(\"x\") public final class Calc<T> {}", "Calc"},
        {"public abstract sealed interface Shape permits Box {}", "Shape"},
        {"public @interface Marker {}", "Marker"},
        {"public record Point(int x, int y) {}", "Point"},
        {"public static void main() {} class X {}", ""},
    };
    for (const auto &[source, name] : cases) {
        EXPECT_EQ(jdk::declaredPublicClass(source), name) << source.toStdString();
    }
}

// The root is the folder above the folders that spell the package; without them there is none.
TEST(PackageLayout, RootIsTheFolderAboveTheMatchingFolders) {
    const std::optional<jdk::PackageLayout> layout =
        jdk::packageLayout("/w/src/com/example/app/Main.java", "com.example.app");
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->root, "/w/src");
    EXPECT_EQ(layout->relativePath, "com/example/app/Main.java");
    const std::pair<QString, QString> unmatched[] = {
        {"/w/src/Main.java", "com.example.app"},      // folders end differently
        {"/w/xcom/example/Main.java", "com.example"}, // part of a folder name
        {"/com/example/Main.java", "com.example"},    // nothing above the package
    };
    for (const auto &[path, package] : unmatched) {
        EXPECT_FALSE(jdk::packageLayout(path, package).has_value()) << path.toStdString();
    }
}

// A source path the user gave is kept; a jar of nothing compiled still names the main file's
// folder. Both run from the root.
TEST(PackageCommands, RunFromTheRoot) {
    const jdk::PackageLayout layout{"com.example.app", "/w/src", "com/example/app/Main.java"};
    const jdk::ToolCommand compile = jdk::packageCompileCommand("/jdk", "-sourcepath lib", layout);
    EXPECT_EQ(compile.commandLine, "javac com/example/app/Main.java -sourcepath lib");
    const jdk::ToolCommand jar =
        jdk::packageJarCommand("/jdk", "/o/manifest.txt", "/o/App.jar", layout, {});
    EXPECT_EQ(jar.commandLine,
              "jar cmfv \"/o/manifest.txt\" \"/o/App.jar\" com/example/app/*.class");
    EXPECT_EQ(compile.folder, "/w/src");
    EXPECT_EQ(jar.folder, "/w/src");
}

// A jar takes the class folders of the project's packages only: not those of other trees under
// the root (the root may be the home folder, for a one-part package in a folder of that name),
// nor the folder of a source that lies outside its package's folders.
TEST(PackageTree, ClassFoldersAreThoseOfTheProjectsPackages) {
    const QString scratch = testing_support::makeScratchFolder("classfolders");
    QStringList sources;
    for (const auto &[name, text] : std::initializer_list<std::pair<const char *, QByteArray>>{
             {"app/Main.java", "package app;"},
             {"app/Main.class", ""},
             {"util/Helper.java", "package util;"},
             {"util/Helper$1.class", ""},
             {"empty/Source.java", "package empty;"},
             {"moved/Tool.java", "package elsewhere;"},
             {"moved/Tool.class", ""},
             {"other/Unrelated.class", ""},
             {"lib/x/Y.class", ""}}) {
        const QString path = testing_support::writeFileIn(scratch, name, text);
        if (path.endsWith(".java")) {
            sources << path;
        }
    }
    EXPECT_EQ(jdk::projectClassFolders(scratch, sources), (QStringList{"app", "util"}));
}

// The layout is read from the file on disk; a folder that does not match the declaration keeps
// the one-folder commands.
TEST(PackageTree, CommandsForAFileFollowItsDeclaration) {
    const QString scratch = testing_support::makeScratchFolder("declared");
    const QString packaged = testing_support::writeFileIn(scratch, "src/com/example/app/Main.java",
                                                          "package com.example.app;\n");
    const QString plain = testing_support::writeFileIn(scratch, "src/other/Tool.java",
                                                       "package com.example.tools;\n");
    const jdk::ToolCommand compile = jdk::compileCommandFor("/jdk", "", packaged, "Main.java");
    EXPECT_EQ(compile.commandLine, "javac -sourcepath . com/example/app/Main.java");
    EXPECT_EQ(compile.folder, scratch + "/src");
    EXPECT_EQ(jdk::runCommandFor("/jdk", packaged, "Main.java", "").commandLine,
              "java com.example.app.Main");
    EXPECT_EQ(jdk::runCommandFor("/jdk", packaged, "Main.java", "org.set").commandLine,
              "java org.set.Main");
    const jdk::ToolCommand plainCompile = jdk::compileCommandFor("/jdk", "", plain, "Tool.java");
    EXPECT_EQ(plainCompile.commandLine, "javac Tool.java");
    EXPECT_EQ(plainCompile.folder, scratch + "/src/other");
    EXPECT_EQ(jdk::runCommandFor("/jdk", scratch + "/gone/Gone.java", "Gone.java", "").commandLine,
              "java Gone");
}

} // namespace
