// The rules of code completion that need no window: how typed text picks and orders entries,
// what an entry inserts, where an import goes, and what is offered without the Java service.
#include "editors/completion.h"
#include "editors/importline.h"

#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace {

using editors::CompletionItem;
using editors::ImportPlan;
using editors::NameMatch;

struct MatchCase {
    const char *name;
    const char *pattern;
    const char *candidate;
    NameMatch expected;
};

class NameMatchTest : public testing::TestWithParam<MatchCase> {};

TEST_P(NameMatchTest, Matches) {
    EXPECT_EQ(editors::matchName(QString(GetParam().pattern), QString(GetParam().candidate)),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Completion, NameMatchTest,
    testing::Values(
        MatchCase{"ExactPrefix", "getBy", "getBytes", NameMatch::Prefix},
        MatchCase{"PrefixInAnotherCase", "str", "StringBuilder", NameMatch::PrefixIgnoringCase},
        MatchCase{"SmallFirstHumpThenCapital", "sB", "StringBuilder", NameMatch::Humps},
        MatchCase{"OneLetterPerHump", "NPE", "NullPointerException", NameMatch::Humps},
        MatchCase{"HumpsMaySkipHumps", "NE", "NullPointerException", NameMatch::Humps},
        MatchCase{"RunOfCapitalsIsOneHump", "UC", "URLConnection", NameMatch::Humps},
        MatchCase{"UnderscoreStartsAHump", "MV", "MAX_VALUE", NameMatch::Humps},
        MatchCase{"SmallLettersAreNoHumps", "sb", "StringBuilder", NameMatch::None},
        MatchCase{"FirstHumpMustBeTheNamesFirst", "B", "StringBuilder", NameMatch::None},
        MatchCase{"HumpsInOrder", "BS", "StringBuilder", NameMatch::None}),
    testing_support::CaseName());

TEST(Completion, FilterPutsExactPrefixesFirstThenOtherCaseThenHumpsKeepingTheListsOrder) {
    const QList<CompletionItem> items{{"SimpleBean", "class", {}, {}, {}},
                                      {"sBuffer", "field", {}, {}, {}},
                                      {"StringBuilder", "class", {}, {}, {}},
                                      {"sort", "method", {}, {}, {}},
                                      {"sB", "local", {}, {}, {}}};
    EXPECT_EQ(editors::filterCompletions(items, u"sB"), (QList<int>{1, 4, 0, 2}));
    EXPECT_EQ(editors::filterCompletions(items, u"").size(), items.size());
}

TEST(Completion, AMethodGoesInWithItsParenthesesAndTheCaretInsideWhenItTakesParameters) {
    const CompletionItem substring{"substring", "method", {"int", "int"}, "String", {}};
    const CompletionItem length{"length", "method", {}, "int", {}};
    const CompletionItem field{"count", "field", {}, "int", {}};
    EXPECT_EQ(editors::insertionFor(substring, u";").text, "substring()");
    EXPECT_EQ(editors::insertionFor(substring, u";").caretInText, 10);
    EXPECT_EQ(editors::insertionFor(length, u"").caretInText, 8);
    // Parentheses typed already are not doubled.
    EXPECT_EQ(editors::insertionFor(length, u"();").text, "length");
    EXPECT_EQ(editors::insertionFor(field, u"").text, "count");
    EXPECT_EQ(editors::completionLabel(substring), "substring(int, int)");
}

struct ImportCase {
    const char *name;
    const char *text;
    const char *qualifiedName;
    const char *expected; // the text after the plan, or "conflict"
};

class ImportPlanTest : public testing::TestWithParam<ImportCase> {};

TEST_P(ImportPlanTest, Plans) {
    QString text = GetParam().text;
    const ImportPlan plan = editors::planImport(text, GetParam().qualifiedName);
    if (plan.need == ImportPlan::Need::Conflict) {
        text = "conflict";
    } else if (plan.need == ImportPlan::Need::Insert) {
        text.insert(plan.position, plan.text);
    }
    EXPECT_EQ(text, QString(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Completion, ImportPlanTest,
    testing::Values(
        ImportCase{"JavaLangNeedsNone", "class A {}\n", "java.lang.StringBuilder", "class A {}\n"},
        ImportCase{"SubpackageOfJavaLangNeedsOne", "class A {}\n", "java.lang.reflect.Method",
                   "import java.lang.reflect.Method;\n\nclass A {}\n"},
        ImportCase{"SamePackageNeedsNone", "package shop;\nclass A {}\n", "shop.Basket",
                   "package shop;\nclass A {}\n"},
        ImportCase{"DefaultPackageCannotBeImported", "package shop;\n", "Basket",
                   "package shop;\n"},
        ImportCase{"ImportedAlready", "import java.util.ArrayList;\nclass A {}\n",
                   "java.util.ArrayList", "import java.util.ArrayList;\nclass A {}\n"},
        ImportCase{"ItsPackageImportedOnDemand", "import java.util.*;\n", "java.util.ArrayList",
                   "import java.util.*;\n"},
        ImportCase{"AnotherOfTheSameNameImported", "import java.awt.List;\n", "java.util.List",
                   "conflict"},
        ImportCase{"AmongTheOthersInOrder",
                   "import java.io.File;\nimport java.util.Map;\n\nclass A {}\n",
                   "java.util.ArrayList",
                   "import java.io.File;\nimport java.util.ArrayList;\nimport java.util.Map;\n\n"
                   "class A {}\n"},
        ImportCase{"AfterTheLastWhenItSortsLastStaticImportsApart",
                   "import java.io.File;\nimport static java.lang.Math.max;\n\nclass A {}\n",
                   "java.util.ArrayList",
                   "import java.io.File;\nimport java.util.ArrayList;\n"
                   "import static java.lang.Math.max;\n\nclass A {}\n"},
        ImportCase{"FirstAfterThePackageLineBetweenBlankLines",
                   "// Shop.\npackage shop;\n\nclass A {}\n", "java.util.ArrayList",
                   "// Shop.\npackage shop;\n\nimport java.util.ArrayList;\n\nclass A {}\n"},
        ImportCase{"FirstAfterAPackageLineWithNoBlankLine", "package shop;\nclass A {}\n",
                   "java.util.ArrayList",
                   "package shop;\n\nimport java.util.ArrayList;\n\nclass A {}\n"},
        ImportCase{"NothingReadPastTheFirstDeclaration",
                   "class A {\n    String s = \"import java.util.ArrayList;\";\n}\n",
                   "java.util.ArrayList",
                   "import java.util.ArrayList;\n\nclass A {\n    String s = \"import "
                   "java.util.ArrayList;\";\n}\n"}),
    testing_support::CaseName());

TEST(Completion, WithoutTheServiceScannedClassesAndMethodsComeFirstThenTheWordsOfTheTexts) {
    const QString open = "class Shop { int totalPrice; void ring(int cents) { total; } }";
    const QString other = "// totals and the ring\nint x = Shop.ring(2);";
    const QList<CompletionItem> items =
        editors::scannedCompletions({"Shop", "Shop.ring(int cents)", "Shop.Till",
                                     "Shop.Till.add(Map<String, Integer> m, "
                                     "final int[] values)"},
                                    {open, other}, u"total");
    QStringList shown;
    for (const CompletionItem &item : items) {
        shown << item.kind + " " + editors::completionLabel(item);
    }
    EXPECT_EQ(shown,
              (QStringList{"method add(Map<String, Integer>, int[])", "method ring(int)",
                           "class Shop", "class Till", "word and", "word cents", "word class",
                           "word int", "word the", "word totalPrice", "word totals", "word void"}));
}

} // namespace
