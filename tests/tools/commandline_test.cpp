#include "tools/commandline.h"

#include "support/casename.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QStringList splitTexts(const QString &commandLine) {
    QStringList texts;
    for (const CommandLineArgument &argument : SplitCommandLine(commandLine)) {
        texts.append(argument.text);
    }
    return texts;
}

struct SplitCase {
    const char *name;
    const char *commandLine;
    QStringList arguments;
};

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, GivesTheArgumentsOfTheWindowsRuntime) {
    EXPECT_EQ(splitTexts(QString::fromUtf8(GetParam().commandLine)), GetParam().arguments);
}

const SplitCase kSplitCases[] = {
    {"BlanksSeparate", "javac  A.java\tB.java ", {"javac", "A.java", "B.java"}},
    {"QuotesGroupSpaces", "javac \"My File.java\" x\"y z\"w", {"javac", "My File.java", "xy zw"}},
    {"EmptyQuotesGiveEmptyArgument", "java \"\" x", {"java", "", "x"}},
    {"BackslashesWithoutQuoteStay", R"(jar a\\\b c\)", {"jar", R"(a\\\b)", R"(c\)"}},
    {"OddBackslashesEscapeTheQuote", R"(jar a\\\"b c d)", {"jar", R"(a\"b)", "c", "d"}},
    {"EvenBackslashesHalveAndQuote", R"(jar a\\\\"b c" d)", {"jar", R"(a\\b c)", "d"}},
    {"DoubledQuoteInsideQuotesIsLiteral", R"(jar "a""b" c)", {"jar", R"(a"b)", "c"}},
    {"DoubledQuoteOutsideQuotesIsEmpty", R"(jar a""b)", {"jar", "ab"}},
    {"UnclosedQuoteRunsToTheEnd", R"(jar "a b)", {"jar", "a b"}},
    {"ProgramNameKeepsBackslashes", R"("c:\a b\javac.exe" x)", {R"(c:\a b\javac.exe)", "x"}},
    {"ProgramNameIgnoresEscapes", R"(to\"o l" x)", {R"(to\o l)", "x"}},
    {"LeadingBlankGivesEmptyProgramName", " javac x", {"", "javac", "x"}},
    {"EmptyLineGivesEmptyProgramName", "", {""}},
};

INSTANTIATE_TEST_SUITE_P(Rules, SplitCommandLineTest, testing::ValuesIn(kSplitCases),
                         testing_support::CaseName());

TEST(MatchesWildcard, StarAndQuestionMarkOnly) {
    EXPECT_EQ(MatchesWildcard("A$1.class", "A?1*"), true);
    EXPECT_EQ(MatchesWildcard("aXbXc", "a*b*c"), true);
    EXPECT_EQ(MatchesWildcard("a.CLASS", "*.class"), false);
    EXPECT_EQ(MatchesWildcard("x", "[x]"), false);
}

class ExpandArgumentsTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = testing_support::makeScratchFolder(QStringLiteral("expand"));
        QDir(m_folder).mkdir(QStringLiteral("sub"));
        for (const char *name :
             {"B.class", "A.class", "A$1.class", ".hidden.class", "Main.java", "sub/C.class"}) {
            QFile(m_folder + "/" + name).open(QIODevice::WriteOnly);
        }
    }
    QStringList expand(const QString &commandLine) const {
        return ExpandArguments(SplitCommandLine(commandLine), m_folder);
    }
    QString m_folder;
};

TEST_F(ExpandArgumentsTest, UnquotedPatternsBecomeSortedNames) {
    EXPECT_EQ(expand("jar cf x.jar *.class"),
              QStringList({"jar", "cf", "x.jar", "A$1.class", "A.class", "B.class"}));
    EXPECT_EQ(expand("jar ?.class sub/*.class"),
              QStringList({"jar", "A.class", "B.class", "sub/C.class"}));
    EXPECT_EQ(expand("jar .*.class"), QStringList({"jar", ".hidden.class"}));
    EXPECT_EQ(expand("jar " + m_folder + "/M*"), QStringList({"jar", m_folder + "/Main.java"}));
}

TEST_F(ExpandArgumentsTest, NamesThatLookLikeOptionsBecomePaths) {
    for (const char *name : {"-C.class", "@all.class", "sub/-D.class"}) {
        QFile(m_folder + "/" + name).open(QIODevice::WriteOnly);
    }
    EXPECT_EQ(expand("jar *.class"), QStringList({"jar", "./-C.class", "./@all.class", "A$1.class",
                                                  "A.class", "B.class"}));
    EXPECT_EQ(expand("jar sub/*.class"), QStringList({"jar", "sub/-D.class", "sub/C.class"}));
}

TEST_F(ExpandArgumentsTest, QuotedUnmatchedAndProgramNameStayLiteral) {
    EXPECT_EQ(expand("* \"*.class\" *.txt */C.class"),
              QStringList({"*", "*.class", "*.txt", "*/C.class"}));
}

} // namespace
