#include "tools/javapackage.h"

#include "support/casename.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct DeclarationCase {
    const char *name;
    QString source;
    QString package;
};

class DeclaredPackageTest : public testing::TestWithParam<DeclarationCase> {};

TEST_P(DeclaredPackageTest, FindsTheFirstPackageStatementOutsideComments) {
    EXPECT_EQ(jdk::declaredPackage(GetParam().source), GetParam().package);
}

const DeclarationCase kDeclarationCases[] = {
    {"NoStatement", "import java.util.List;\nclass Main {}", ""},
    {"StatementAfterComments", "/* package old.one; */\n// package older;\npackage a.b;", "a.b"},
    {"BlanksAndCommentsBetweenParts", "package com . /* x */ example\n.app ;", "com.example.app"},
    {"MalformedFirstStatementDeclaresNone", "package a.;\npackage b;", ""},
    {"LongerWordIsNotTheKeyword", "packages x;\nmypackage y;\npackage z;", "z"},
    {"WordInALiteralDoesNotCount", "String s = \"package x;\"; char c = '\"';\npackage y;", "y"},
    {"UnclosedCommentHidesTheRest", "/* package a;", ""},
};

INSTANTIATE_TEST_SUITE_P(Sources, DeclaredPackageTest, testing::ValuesIn(kDeclarationCases),
                         testing_support::CaseName());

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

// Compiling names the root as source path unless the user gave one; a jar of nothing compiled
// still names the main file's folder. Both run from the root.
TEST(PackageCommands, RunFromTheRoot) {
    const jdk::PackageLayout layout{"com.example.app", "/w/src", "com/example/app/Main.java"};
    const std::pair<jdk::ToolCommand, QString> cases[] = {
        {jdk::packageCompileCommand("/jdk", "-g", layout),
         "javac -sourcepath . com/example/app/Main.java -g"},
        {jdk::packageCompileCommand("/jdk", "-sourcepath lib", layout),
         "javac com/example/app/Main.java -sourcepath lib"},
        {jdk::packageJarCommand("/jdk", "/o/manifest.txt", "/o/App.jar", layout, {}),
         "jar cmfv \"/o/manifest.txt\" \"/o/App.jar\" com/example/app/*.class"},
    };
    for (const auto &[command, commandLine] : cases) {
        EXPECT_EQ(command.commandLine, commandLine);
        EXPECT_EQ(command.folder, "/w/src");
    }
}

// Files on disk: the layout is read from the file, and only folders that can be package
// folders and hold class files are packed.
class PackageTreeTest : public testing::Test {
protected:
    QTemporaryDir scratch;

    QString write(const QString &relative, const QByteArray &text) {
        const QString path = scratch.path() + "/" + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }
};

TEST_F(PackageTreeTest, ClassFoldersAreThePackageFoldersHoldingClasses) {
    write("Top.class", "");
    write("com/example/app/Main.class", "");
    write("com/example/util/Helper$1.class", "");
    write("com/example/empty/Source.java", "");
    write("not-a-package/Stray.class", "");
    write(".hidden/Stray.class", "");
    EXPECT_EQ(jdk::classFolders(scratch.path()),
              (QStringList{"com/example/app", "com/example/util"}));
}

TEST_F(PackageTreeTest, CommandsForAFileFollowItsDeclaration) {
    const QString packaged = write("src/com/example/app/Main.java", "package com.example.app;\n");
    const QString plain = write("src/other/Tool.java", "package com.example.tools;\n");
    const QString root = scratch.path() + "/src";

    const jdk::ToolCommand compile = jdk::compileCommandFor("/jdk", "", packaged, "Main.java");
    EXPECT_EQ(compile.commandLine, "javac -sourcepath . com/example/app/Main.java");
    EXPECT_EQ(compile.folder, root);
    EXPECT_EQ(jdk::runCommandFor("/jdk", packaged, "Main.java", "").commandLine,
              "java com.example.app.Main");
    EXPECT_EQ(jdk::runCommandFor("/jdk", packaged, "Main.java", "org.set").commandLine,
              "java org.set.Main");

    // A folder that does not match the declaration keeps the one-folder commands.
    const jdk::ToolCommand plainCompile = jdk::compileCommandFor("/jdk", "", plain, "Tool.java");
    EXPECT_EQ(plainCompile.commandLine, "javac Tool.java");
    EXPECT_EQ(plainCompile.folder, root + "/other");
    EXPECT_EQ(jdk::runCommandFor("/jdk", plain, "Tool.java", "").commandLine, "java Tool");
    EXPECT_EQ(
        jdk::runCommandFor("/jdk", scratch.path() + "/gone/Gone.java", "Gone.java", "").commandLine,
        "java Gone");
}

} // namespace
