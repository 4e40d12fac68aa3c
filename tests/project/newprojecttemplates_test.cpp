#include "project/newprojecttemplates.h"
#include "support/casename.h"

#include <QString>

#include <gtest/gtest.h>

#include "support/qtprinters.h"

namespace {

using namespace Qt::StringLiterals;

struct SubstituteCase {
    const char *name;
    QString text, placeholder, className, expected;
};

class SubstituteTest : public testing::TestWithParam<SubstituteCase> {};

TEST_P(SubstituteTest, ReplacesExactlyThePlaceholder) {
    const SubstituteCase &test = GetParam();
    EXPECT_EQ(NewProjectTemplates::substitute(test.text, test.placeholder, test.className),
              test.expected);
}

const SubstituteCase kSubstituteCases[] = {
    {"EveryOccurrence", u"MainFrame f = new MainFrame();"_s, u"MainFrame"_s, u"Demo"_s,
     u"Demo f = new Demo();"_s},
    {"OtherCasesStay", u"MainFrame mainframe MAINFRAME"_s, u"MainFrame"_s, u"Demo"_s,
     u"Demo mainframe MAINFRAME"_s},
    {"NameHoldingThePlaceholderIsPutInOnce", u"class MyApplet"_s, u"MyApplet"_s, u"MyAppletX"_s,
     u"class MyAppletX"_s},
    {"SpacesAndSignsAsTyped", u"<H1>MyApplet</H1>"_s, u"MyApplet"_s, u"My $1 App"_s,
     u"<H1>My $1 App</H1>"_s},
};

INSTANTIATE_TEST_SUITE_P(Texts, SubstituteTest, testing::ValuesIn(kSubstituteCases),
                         testing_support::CaseName());

TEST(NewProjectTemplates, FileBytesEndLinesWithCrLfAndAddNoneAtTheEnd) {
    EXPECT_EQ(NewProjectTemplates::fileBytes(u"a\n\tb\n\n}\t"_s), "a\r\n\tb\r\n\r\n}\t");
    EXPECT_EQ(NewProjectTemplates::fileBytes(u"K\u00e4se"_s), "K\xc3\xa4se");
}

TEST(NewProjectTemplates, PathSeparatorsAreFoundAnywhereInAName) {
    for (const QString &name : {u"a/b"_s, u"/Abs"_s, u"..\\Up"_s, u"End/"_s}) {
        EXPECT_TRUE(NewProjectTemplates::holdsPathSeparator(name)) << name.toStdString();
    }
    for (const QString &name : {u"Demo"_s, u"My App"_s, u"..."_s, u"a.b"_s}) {
        EXPECT_FALSE(NewProjectTemplates::holdsPathSeparator(name)) << name.toStdString();
    }
}

} // namespace
