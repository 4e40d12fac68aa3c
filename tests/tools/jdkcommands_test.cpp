#include "tools/commandline.h"
#include "tools/jdkcommands.h"
#include "tools/toolstartfailure.h"

#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

struct CommandCase {
    const char *name;
    jdk::ToolCommand command;
    QString commandLine;
    QString folder;
};

class ToolCommandTest : public testing::TestWithParam<CommandCase> {};

TEST_P(ToolCommandTest, ComposesCommandLineAndFolder) {
    EXPECT_EQ(GetParam().command.commandLine, GetParam().commandLine);
    EXPECT_EQ(GetParam().command.folder, GetParam().folder);
}

const CommandCase kCommandCases[] = {
    {"FileNameWithBlankIsQuoted", jdk::compileCommand("/jdk", "-g", "/p/My A.java", "My A.java"),
     "javac \"My A.java\" -g", "/p"},
    {"RunCutsOnlyTheLastExtension", jdk::runCommand("/jdk", "/p/a.b.java", "a.b.java", ""),
     "java a.b", "/p"},
    {"JarQuotesManifestAndArchiveAndLeavesTheWildcard",
     jdk::jarCommand("/jdk", "/o/manifest.txt", "/o/Frame.jar", "/p"),
     "jar cmfv \"/o/manifest.txt\" \"/o/Frame.jar\" *.class", "/p"},
    {"ArchiveListNamesTheFileInItsFolder", jdk::archiveListCommand("/jdk", "/a/b/Lib.jar"),
     "jar tvf Lib.jar", "/a/b"},
    {"ArchiveNameWithBlankIsQuoted", jdk::archiveListCommand("/jdk", "/a/My Lib.jar"),
     "jar tvf \"My Lib.jar\"", "/a"},
    // Fields and names from a project file never reach a tool as options.
    {"OptionsFileNameIsGivenAsAPath",
     jdk::compileCommand("/jdk", "", "/p/@opts.java", "@opts.java"), "javac ./@opts.java", "/p"},
    {"OptionLikeNameWithABlankIsOneQuotedPath",
     jdk::compileCommand("/jdk", "-g", "/p/-d x.java", "-d x.java"), "javac \"./-d x.java\" -g",
     "/p"},
    {"PackageWithBlanksIsOneArgument",
     jdk::runCommand("/jdk", "/p/Main.java", "Main.java", "x -cp /tmp/evil"),
     "java \"x -cp /tmp/evil.Main\"", "/p"},
    {"PackageWithAQuoteIsOneArgument",
     jdk::runCommand("/jdk", "/p/Main.java", "Main.java", "a\"b -Dx"), R"(java "a\"b -Dx.Main")",
     "/p"},
    {"PackageLikeAnOptionIsNoOption",
     jdk::runCommand("/jdk", "/p/Main.java", "Main.java", "-javaagent:a.jar"),
     "java ./-javaagent:a.jar.Main", "/p"},
    {"MainFileWithABlankIsOneArgument", jdk::runCommand("/jdk", "/p/A -X.java", "A -X.java", ""),
     "java \"A -X\"", "/p"},
    {"AppletPageLikeAnOptionIsAPath", jdk::appletCommand("/jdk", "/w/-J-Dx.html", "-J-Dx.html"),
     "appletviewer ./-J-Dx.html", "/w"},
    {"ArchiveLikeAnOptionsFileIsAPath", jdk::archiveListCommand("/jdk", "/a/@l.jar"),
     "jar tvf ./@l.jar", "/a"},
};

INSTANTIATE_TEST_SUITE_P(Commands, ToolCommandTest, testing::ValuesIn(kCommandCases),
                         testing_support::CaseName());

// Whatever a name holds, the runner's splitting gives it back whole, and a wildcard in it is
// never expanded.
TEST(Arguments, EveryNameSplitsBackAsItself) {
    for (const QString name : {"Plain.java", "My File.java", "a*b?.jar", R"(say "hi".jar)",
                               R"(back\slash)", R"(ends\)", R"(ends\\)", R"(q\"x)", "t\tab"}) {
        const QList<CommandLineArgument> arguments =
            SplitCommandLine("jar " + jdk::argumentFor(name) + " " + jdk::quotedArgument(name));
        ASSERT_EQ(arguments.size(), 3) << name.toStdString();
        EXPECT_EQ(arguments.at(1).text, name);
        EXPECT_EQ(arguments.at(2).text, name);
        EXPECT_TRUE(arguments.at(1).quoted || !name.contains('*')) << name.toStdString();
    }
}

TEST(Jar, ClassNameLosesEveryJavaExtensionAndTheManifestEndsWithCrLf) {
    EXPECT_EQ(jdk::jarClassName("A.javaB.java"), "AB");
    EXPECT_EQ(jdk::manifestText("Frame"), "Main-Class: Frame\r\n");
}

TEST(AtoiPrefix, ReadsAsTheCLibraryDoes) {
    EXPECT_EQ(jdk::atoiPrefix(u" \t\n42: x"), 42);
    EXPECT_EQ(jdk::atoiPrefix(u"-7"), -7);
    EXPECT_EQ(jdk::atoiPrefix(u"+8"), 8);
    EXPECT_EQ(jdk::atoiPrefix(u"-x"), 0);
    EXPECT_EQ(jdk::atoiPrefix(u""), 0);
    EXPECT_EQ(jdk::atoiPrefix(u"99999999999999999999"), 2147483647);
}

TEST(OutputLine, LinesEndAtACrAndTheLastHasNone) {
    const QString text = "A.java:3: error\r\n\r\n1 error\r\nExit code: 1\r\nThere were errors";
    EXPECT_EQ(jdk::outputLine(text, 0)->toString(), "A.java:3: error");
    EXPECT_EQ(jdk::outputLine(text, 1)->toString(), "");
    EXPECT_EQ(jdk::outputLine(text, 2)->toString(), "1 error");
    EXPECT_FALSE(jdk::outputLine(text, 4).has_value());
    EXPECT_FALSE(jdk::outputLine(text, -1).has_value());
    EXPECT_EQ(jdk::outputLine(u"50%\rB.java:2: x\r\n", 1)->toString(), "B.java:2: x");
}

TEST(MessageLineNumber, ReadsFromOneCharacterPastTheFirstOccurrence) {
    EXPECT_EQ(jdk::messageLineNumber(u"Hello.java:12: error: ';' expected", u"Hello.java"), 12);
    EXPECT_EQ(jdk::messageLineNumber(u"\tat Hello.main(Hello.java:7)", u"Hello.java"), 7);
    EXPECT_EQ(jdk::messageLineNumber(u"BA.java:5: error", u"A.java"), 5);
    EXPECT_EQ(jdk::messageLineNumber(u"A.javax:3", u"A.java"), 0);
    EXPECT_EQ(jdk::messageLineNumber(u"see A.java:", u"A.java"), 0);
}

// A failed start names the program and where it was looked for (a missing JDK folder: see the
// tool commands' test), and where the JDK folder is set; a runnable program in an existing
// folder leaves nothing to explain.
TEST(ToolStartFailure, SaysWhatIsMissingWhere) {
    const QString scratch = testing_support::makeScratchFolder("startfailure");
    testing_support::writeFileIn(scratch, "jdk/bin/javac", "not runnable");
    const QString runnable = testing_support::writeFileIn(scratch, "ok/bin/java", "#!/bin/sh\n");
    QFile(runnable).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const std::pair<QStringList, QString> cases[] = {
        {{"/bin/nosuchtool", scratch},
         "nosuchtool was not found in /bin.\nThe JDK folder (now empty) is set in File > "
         "Preferences."},
        {{scratch + "/jdk/bin/javac", scratch},
         scratch + "/jdk/bin/javac is not a program that can be run.\nThe JDK folder (now "
             + scratch + "/jdk) is set in File > Preferences."},
        {{runnable, scratch + "/gone"},
         "The folder " + scratch + "/gone to run java in does not exist."},
        {{runnable, scratch}, ""},
    };
    for (const auto &[arguments, detail] : cases) {
        EXPECT_EQ(jdk::toolStartFailureDetail(arguments.at(0), arguments.at(1)), detail)
            << arguments.at(0).toStdString();
    }
}

} // namespace
