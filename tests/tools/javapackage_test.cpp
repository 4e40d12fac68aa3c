#include "tools/commandline.h"
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
    {"PlainStatement", "package com.example.app;\r\nclass Main {}", "com.example.app"},
    {"NoStatement", "import java.util.List;\nclass Main {}", ""},
    {"EmptyText", "", ""},
    {"StatementAfterComments", "/* package old.one; */\n// package older;\npackage a.b;", "a.b"},
    {"BlanksAndCommentsBetweenParts", "package com . /* x */ example\n.app ;", "com.example.app"},
    {"AnnotationBeforeTheStatement", "@Deprecated\npackage a;", "a"},
    {"IdentifiersWithDollarUnderscoreAndLetters", "package _a$.\u00e9t\u00e92;",
     "_a$.\u00e9t\u00e92"},
    {"OnlyTheFirstStatementCounts", "package a;\npackage b;", "a"},
    {"MalformedFirstStatementDeclaresNone", "package a.;\npackage b;", ""},
    {"StatementWithoutSemicolonDeclaresNone", "package a.b\nclass Main {}", ""},
    {"LongerWordIsNotTheKeyword", "packages x;\nmypackage y;\npackage z;", "z"},
    {"WordInALiteralDoesNotCount", "String s = \"package x;\"; char c = '\"';\npackage y;", "y"},
    {"WordInATextBlockDoesNotCount", "String s = \"\"\"\npackage x;\n\"\"\";", ""},
    {"UnclosedCommentHidesTheRest", "/* package a;", ""},
};

INSTANTIATE_TEST_SUITE_P(Sources, DeclaredPackageTest, testing::ValuesIn(kDeclarationCases),
                         testing_support::CaseName());

struct LayoutCase {
    const char *name;
    QString path;
    QString package;
    QString root; // empty: no layout
    QString relativePath;
};

class PackageLayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(PackageLayoutTest, RootIsTheFolderAboveTheMatchingFolders) {
    const std::optional<jdk::PackageLayout> layout =
        jdk::packageLayout(GetParam().path, GetParam().package);
    if (GetParam().root.isEmpty()) {
        EXPECT_FALSE(layout.has_value());
        return;
    }
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->root, GetParam().root);
    EXPECT_EQ(layout->relativePath, GetParam().relativePath);
    EXPECT_EQ(layout->package, GetParam().package);
}

const LayoutCase kLayoutCases[] = {
    {"MatchingFolders", "/w/src/com/example/app/Main.java", "com.example.app", "/w/src",
     "com/example/app/Main.java"},
    {"OnePartPackage", "/w/app/Main.java", "app", "/w", "app/Main.java"},
    {"NoPackage", "/w/src/Main.java", "", "", ""},
    {"FolderEndsDifferently", "/w/src/Main.java", "com.example.app", "", ""},
    {"PartOfAFolderNameIsNoMatch", "/w/xcom/example/Main.java", "com.example", "", ""},
    {"FoldersCompareCaseSensitively", "/w/Com/example/Main.java", "com.example", "", ""},
    {"NothingAboveThePackage", "/com/example/Main.java", "com.example", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Paths, PackageLayoutTest, testing::ValuesIn(kLayoutCases),
                         testing_support::CaseName());

const jdk::PackageLayout kLayout{"com.example.app", "/w/src", "com/example/app/Main.java"};

struct CommandCase {
    const char *name;
    jdk::ToolCommand command;
    QString commandLine;
};

class PackageCommandTest : public testing::TestWithParam<CommandCase> {};

TEST_P(PackageCommandTest, RunsFromTheRoot) {
    EXPECT_EQ(GetParam().command.commandLine, GetParam().commandLine);
    EXPECT_EQ(GetParam().command.folder, "/w/src");
}

const CommandCase kCommandCases[] = {
    {"CompileNamesTheRootAsSourcePathBeforeTheOptions",
     jdk::packageCompileCommand("/jdk", "-g", kLayout),
     "javac -sourcepath . com/example/app/Main.java -g"},
    {"CompileLeavesTheUsersOwnSourcePath",
     jdk::packageCompileCommand("/jdk", "-sourcepath lib", kLayout),
     "javac com/example/app/Main.java -sourcepath lib"},
    {"RunNamesTheQualifiedClass", jdk::packageRunCommand("/jdk", kLayout, "com.example.app.Main"),
     "java com.example.app.Main"},
    {"JarPacksEveryPackageFolder",
     jdk::packageJarCommand("/jdk", "/o/manifest.txt", "/o/App.jar", kLayout,
                            {"com/example/app", "com/example/util"}),
     "jar cmfv \"/o/manifest.txt\" \"/o/App.jar\" com/example/app/*.class "
     "com/example/util/*.class"},
    {"JarOfNothingCompiledNamesTheMainFilesFolder",
     jdk::packageJarCommand("/jdk", "/o/manifest.txt", "/o/App.jar", kLayout, {}),
     "jar cmfv \"/o/manifest.txt\" \"/o/App.jar\" com/example/app/*.class"},
};

INSTANTIATE_TEST_SUITE_P(Commands, PackageCommandTest, testing::ValuesIn(kCommandCases),
                         testing_support::CaseName());

TEST(PackageNames, QualifiedNameLeavesANameWithoutPackageAlone) {
    EXPECT_EQ(jdk::qualifiedName("com.x", "Main"), "com.x.Main");
    EXPECT_EQ(jdk::qualifiedName("", "Main"), "Main");
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

// The wildcards reach the tool's argument list as the names of the class files.
TEST_F(PackageTreeTest, JarWildcardsExpandToTheClassFiles) {
    write("com/a/A.class", "");
    write("com/a/A$1.class", "");
    write("com/b/B.class", "");
    const jdk::PackageLayout layout{"com.a", scratch.path(), "com/a/A.java"};
    const jdk::ToolCommand command = jdk::packageJarCommand("/jdk", "/o/m.txt", "/o/j.jar", layout,
                                                            jdk::classFolders(scratch.path()));
    EXPECT_EQ(ExpandArguments(SplitCommandLine(command.commandLine), command.folder),
              (QStringList{"jar", "cmfv", "/o/m.txt", "/o/j.jar", "com/a/A$1.class",
                           "com/a/A.class", "com/b/B.class"}));
}

} // namespace
