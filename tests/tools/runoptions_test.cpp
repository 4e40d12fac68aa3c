#include "tools/commandline.h"
#include "tools/runoptions.h"

#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <gtest/gtest.h>

namespace {

// What the program receives, after the runner has split the command line as it does.
QStringList received(const QString &commandLine) {
    return ExpandArguments(SplitCommandLine(commandLine), QString()).mid(1);
}

struct WordsCase {
    const char *name;
    QString typed;
    QStringList arguments; // what the program receives
};

class ShellWordsTest : public testing::TestWithParam<WordsCase> {};

TEST_P(ShellWordsTest, ProgramReceivesWhatAShellWouldGiveIt) {
    const auto words = jdk::splitShellWords(GetParam().typed);
    ASSERT_TRUE(words);
    EXPECT_EQ(received("java " + jdk::commandLineWords(*words)), GetParam().arguments);
}

const WordsCase kWordsCases[] = {
    {"BlanksSeparate", "tinyST.txt  10\t20", {"tinyST.txt", "10", "20"}},
    {"DoubleQuotesGroup", R"("a b" c)", {"a b", "c"}},
    {"SingleQuotesKeepEverything", R"('say "hi" \n' x)", {R"(say "hi" \n)", "x"}},
    {"BackslashEscapesOutsideQuotes", R"(a\ b \"q\")", {"a b", R"("q")"}},
    {"BackslashInDoubleQuotesKeepsOnlyItsFew", R"("\$x \a \\ \"")", {R"($x \a \ ")"}},
    {"QuotedPartsJoinAWord", R"(pre"mid dle"'post')", {"premid dlepost"}},
    {"EmptyQuotesAreAnEmptyArgument", R"('' x)", {"", "x"}},
    {"TrailingBackslashesSurvive", R"("C:\dir\\" end)", {R"(C:\dir\)", "end"}},
    {"QuotedWildcardStaysLiteral", R"("*.txt")", {"*.txt"}},
    {"NothingTypedGivesNothing", "   ", {}},
};
INSTANTIATE_TEST_SUITE_P(RunOptions, ShellWordsTest, testing::ValuesIn(kWordsCases),
                         testing_support::CaseName());

TEST(ShellWords, OpenQuoteIsRefusedWithAReason) {
    for (const QString &typed : {QStringLiteral("\"abc"), QStringLiteral("x 'y")}) {
        QString error;
        EXPECT_FALSE(jdk::splitShellWords(typed, &error)) << typed.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(ShellWords, UnquotedWildcardIsExpandedAsAShellWould) {
    const QString folder = testing_support::makeScratchFolder("wildcards");
    testing_support::writeFileIn(folder, "a.txt", "");
    testing_support::writeFileIn(folder, "b.txt", "");
    const auto words = jdk::splitShellWords(QStringLiteral("*.txt '*.txt'"));
    ASSERT_TRUE(words);
    EXPECT_EQ(
        ExpandArguments(SplitCommandLine("java " + jdk::commandLineWords(*words)), folder).mid(1),
        (QStringList{"a.txt", "b.txt", "*.txt"}));
}

struct CommandCase {
    const char *name;
    jdk::ToolCommand command;
    QString commandLine;
    QString folder;
};

class ComposedCommandTest : public testing::TestWithParam<CommandCase> {};

TEST_P(ComposedCommandTest, HasTheOptionsInItsCommandLine) {
    EXPECT_EQ(GetParam().command.commandLine, GetParam().commandLine);
    EXPECT_EQ(GetParam().command.folder, GetParam().folder);
}

const jdk::ToolCommand kJavac{"/jdk/bin/javac", "javac A.java -g", "/p"};
const jdk::ToolCommand kJava{"/jdk/bin/java", "java com.x.Main", "/p/src"};

jdk::RunOptions options(const QString &arguments, const QString &vmOptions,
                        const QString &workingFolder, const QStringList &libraries) {
    return {arguments, QString(), vmOptions, workingFolder, libraries};
}

const CommandCase kCommandCases[] = {
    {"CompileWithoutLibrariesIsUnchanged", jdk::withClassPath(kJavac, {}), "javac A.java -g", "/p"},
    {"CompileFindsLibrariesBeforeTheCurrentFolder",
     jdk::withClassPath(kJavac, {"/lib/algs4.jar", "/my libs/classes"}),
     "javac -cp \"/lib/algs4.jar:/my libs/classes:.\" A.java -g", "/p"},
    {"CompileKeepsAClassPathOfItsOptions",
     jdk::withClassPath({"/jdk/bin/javac", "javac A.java -cp x", "/p"}, {"/lib/a.jar"}),
     "javac A.java -cp x", "/p"},
    {"RunWithNothingSetIsUnchanged", jdk::withRunOptions(kJava, {}), "java com.x.Main", "/p/src"},
    {"RunPutsVmOptionsBeforeAndArgumentsAfterTheClass",
     jdk::withRunOptions(kJava, options("tinyST.txt \"two words\"", "-ea -Xmx512m", {}, {})),
     "java -ea -Xmx512m com.x.Main tinyST.txt \"two words\"", "/p/src"},
    {"RunFindsLibrariesAndTheClassesOfItsFolder",
     jdk::withRunOptions(kJava, options({}, {}, {}, {"/lib/algs4.jar"})),
     "java -cp /lib/algs4.jar:. com.x.Main", "/p/src"},
    {"RunElsewhereNamesTheClassFolderWhole",
     jdk::withRunOptions(kJava, options({}, {}, "/data", {"/lib/algs4.jar"})),
     "java -cp /lib/algs4.jar:/p/src com.x.Main", "/data"},
    {"RunInTheClassFolderItselfNeedsNoClassPath",
     jdk::withRunOptions(kJava, options({}, {}, "/p/src/", {})), "java com.x.Main", "/p/src"},
};
INSTANTIATE_TEST_SUITE_P(RunOptions, ComposedCommandTest, testing::ValuesIn(kCommandCases),
                         testing_support::CaseName());

TEST(Manifest, ClassPathIsRelativeToTheJarEscapedAndWrappedAt72Bytes) {
    const QString folder = testing_support::makeScratchFolder("manifest");
    testing_support::writeFileIn(folder, "lib/algs4.jar", "");
    testing_support::writeFileIn(folder, "out/classes/x.class", "");
    const QStringList entries = jdk::manifestClassPath(
        {folder + "/lib/algs4.jar", folder + "/out/classes", "/opt/my libs/ü.jar"},
        folder + "/out");
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries.mid(0, 2), (QStringList{"../lib/algs4.jar", "classes/"}));
    EXPECT_TRUE(entries.value(2).endsWith("opt/my%20libs/%C3%BC.jar"));

    EXPECT_EQ(jdk::manifestText("Frame", {}), "Main-Class: Frame\r\n");
    const QString text = jdk::manifestText("a.B", QStringList(8, "lib/some-library-1.0.jar"));
    const QStringList lines = text.split("\r\n");
    EXPECT_EQ(lines.last(), "");
    QString joined;
    for (const QString &line : lines.mid(1, lines.size() - 2)) {
        EXPECT_LE(line.toUtf8().size(), 72) << line.toStdString();
        joined += line.startsWith(' ') ? line.mid(1) : (joined.isEmpty() ? line : "\n" + line);
    }
    EXPECT_EQ(joined, "Class-Path: " + QStringList(8, "lib/some-library-1.0.jar").join(' '));
}

} // namespace
