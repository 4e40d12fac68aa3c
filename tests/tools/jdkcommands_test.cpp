#include "tools/commandline.h"
#include "tools/jdkcommands.h"

#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace {

struct CommandCase {
    const char *name;
    jdk::ToolCommand command;
    QString program;
    QString commandLine;
    QString folder;
};

class ToolCommandTest : public testing::TestWithParam<CommandCase> {};

TEST_P(ToolCommandTest, ComposesProgramCommandLineAndFolder) {
    const CommandCase &test = GetParam();
    EXPECT_EQ(test.command.program, test.program);
    EXPECT_EQ(test.command.commandLine, test.commandLine);
    EXPECT_EQ(test.command.folder, test.folder);
}

const QString kJdk = QStringLiteral("/jdk");

const CommandCase kCommandCases[] = {
    {"BuildPutsOptionsAfterTheFile", jdk::compileCommand(kJdk, "-g", "/p/A.java", "A.java"),
     "/jdk/bin/javac", "javac A.java -g", "/p"},
    {"CompileWithoutOptionsEndsWithTheFile", jdk::compileCommand(kJdk, "", "/p/q/B.java", "B.java"),
     "/jdk/bin/javac", "javac B.java", "/p/q"},
    {"FileNameWithBlankIsQuoted", jdk::compileCommand(kJdk, "", "/p/My File.java", "My File.java"),
     "/jdk/bin/javac", "javac \"My File.java\"", "/p"},
    {"RunPutsThePackageBeforeTheClass", jdk::runCommand(kJdk, "/p/Main.java", "Main.java", "com.x"),
     "/jdk/bin/java", "java com.x.Main", "/p"},
    {"RunWithoutPackageNamesTheClass",
     jdk::runCommand(kJdk, "/p/MainFrame.java", "MainFrame.java", ""), "/jdk/bin/java",
     "java MainFrame", "/p"},
    {"RunCutsOnlyTheLastExtension", jdk::runCommand(kJdk, "/p/a.b.java", "a.b.java", ""),
     "/jdk/bin/java", "java a.b", "/p"},
    {"AppletRunsThePageInItsFolder", jdk::appletCommand(kJdk, "/w/Example1.html", "Example1.html"),
     "/jdk/bin/appletviewer", "appletviewer Example1.html", "/w"},
    {"JarQuotesManifestAndArchiveAndLeavesTheWildcard",
     jdk::jarCommand(kJdk, "/out/manifest.txt", "/out/Frame.jar", "/p"), "/jdk/bin/jar",
     "jar cmfv \"/out/manifest.txt\" \"/out/Frame.jar\" *.class", "/p"},
    {"ArchiveListNamesTheFileInItsFolder", jdk::archiveListCommand(kJdk, "/a/b/Lib.jar"),
     "/jdk/bin/jar", "jar tvf Lib.jar", "/a/b"},
    {"ArchiveNameWithBlankIsQuoted", jdk::archiveListCommand(kJdk, "/a/My Lib.jar"), "/jdk/bin/jar",
     "jar tvf \"My Lib.jar\"", "/a"},
};

INSTANTIATE_TEST_SUITE_P(Commands, ToolCommandTest, testing::ValuesIn(kCommandCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Whatever a name holds, the runner's splitting gives it back whole and never expands it.
TEST(Arguments, EveryNameSplitsBackAsItselfAndUnexpanded) {
    const QStringList names{"Plain.java",      "My File.java",  "a*b?.jar",
                            R"(say "hi".jar)", R"(back\slash)", R"(ends\)",
                            R"(ends\\)",       R"(q\"x)",       "tab\there"};
    for (const QString &name : names) {
        const QList<CommandLineArgument> arguments =
            SplitCommandLine("jar tvf " + jdk::argumentFor(name) + " " + jdk::quotedArgument(name));
        ASSERT_EQ(arguments.size(), 4) << name.toStdString();
        EXPECT_EQ(arguments.at(2).text, name);
        EXPECT_EQ(arguments.at(3).text, name);
        const bool wildcard = name.contains('*') || name.contains('?');
        EXPECT_TRUE(arguments.at(2).quoted || !wildcard) << name.toStdString();
    }
}

TEST(Jar, ClassNameLosesEveryJavaExtensionAndTheManifestEndsWithCrLf) {
    EXPECT_EQ(jdk::jarClassName("Frame.java"), "Frame");
    EXPECT_EQ(jdk::jarClassName("A.javaB.java"), "AB");
    EXPECT_EQ(jdk::manifestText("Frame"), "Main-Class: Frame\r\n");
}

struct NumberCase {
    const char *name;
    QString text;
    int value;
};

class AtoiPrefixTest : public testing::TestWithParam<NumberCase> {};

TEST_P(AtoiPrefixTest, ReadsAsTheCLibraryDoes) {
    EXPECT_EQ(jdk::atoiPrefix(GetParam().text), GetParam().value);
}

const NumberCase kNumberCases[] = {
    {"DigitsUpToTheFirstOther", "12: error", 12},
    {"LeadingWhiteSpaceIsSkipped", " \t\n42x", 42},
    {"SignsAreRead", "-7", -7},
    {"PlusSignIsRead", "+8", 8},
    {"SignWithoutDigitsIsZero", "-x", 0},
    {"NoDigitsIsZero", "error", 0},
    {"EmptyIsZero", "", 0},
    {"HugeNumbersSaturate", "99999999999999999999", 2147483647},
};

INSTANTIATE_TEST_SUITE_P(Numbers, AtoiPrefixTest, testing::ValuesIn(kNumberCases),
                         [](const auto &info) { return std::string(info.param.name); });

struct LineCase {
    const char *name;
    QString text;
    int line;
    std::optional<QString> expected;
};

class OutputLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(OutputLineTest, FindsTheCrEndedLine) {
    const std::optional<QStringView> found = jdk::outputLine(GetParam().text, GetParam().line);
    EXPECT_EQ(found.has_value(), GetParam().expected.has_value());
    if (found && GetParam().expected) {
        EXPECT_EQ(found->toString(), *GetParam().expected);
    }
}

const QString kOutput =
    QStringLiteral("A.java:3: error\r\n\r\n1 error\r\nExit code: 1\r\nThere were errors");

const LineCase kLineCases[] = {
    {"FirstLine", kOutput, 0, "A.java:3: error"},
    {"EmptyLine", kOutput, 1, ""},
    {"LineAfterAnEmptyOne", kOutput, 2, "1 error"},
    {"LastLineHasNoLineEnd", kOutput, 4, std::nullopt},
    {"PastTheEnd", kOutput, 9, std::nullopt},
    {"NegativeLine", kOutput, -1, std::nullopt},
    {"LoneCrEndsALineWithoutEatingTheNext", "50%\rB.java:2: x\r\n", 1, "B.java:2: x"},
};

INSTANTIATE_TEST_SUITE_P(Lines, OutputLineTest, testing::ValuesIn(kLineCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(MessageLineNumber, ReadsFromOneCharacterPastTheFirstOccurrence) {
    EXPECT_EQ(jdk::messageLineNumber(u"Hello.java:12: error: ';' expected", u"Hello.java"), 12);
    EXPECT_EQ(jdk::messageLineNumber(u"\tat Hello.main(Hello.java:7)", u"Hello.java"), 7);
    EXPECT_EQ(jdk::messageLineNumber(u"BA.java:5: error", u"A.java"), 5);
    EXPECT_EQ(jdk::messageLineNumber(u"A.java  9", u"A.java"), 9);
    EXPECT_EQ(jdk::messageLineNumber(u"A.javax:3", u"A.java"), 0);
    EXPECT_EQ(jdk::messageLineNumber(u"see A.java", u"A.java"), 0);
    EXPECT_EQ(jdk::messageLineNumber(u"see A.java:", u"A.java"), 0);
}

} // namespace
