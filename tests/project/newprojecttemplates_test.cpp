#include "project/newprojecttemplates.h"

#include <QString>

#include <gtest/gtest.h>

#include "support/qtprinters.h"

namespace {

using namespace Qt::StringLiterals;

// The class name is put in as typed, once for each placeholder of that exact case, even when
// the name itself holds the placeholder or signs a pattern replacement would read.
TEST(NewProjectTemplates, SubstituteReplacesExactlyThePlaceholder) {
    using NewProjectTemplates::substitute;
    EXPECT_EQ(substitute(u"MainFrame f = new MainFrame(); mainframe"_s, u"MainFrame"_s, u"Demo"_s),
              u"Demo f = new Demo(); mainframe"_s);
    EXPECT_EQ(substitute(u"class MyApplet"_s, u"MyApplet"_s, u"MyAppletX"_s), u"class MyAppletX"_s);
    EXPECT_EQ(substitute(u"<H1>MyApplet</H1>"_s, u"MyApplet"_s, u"My $1 App"_s),
              u"<H1>My $1 App</H1>"_s);
}

// Letters beyond ASCII, '_' and '$' may name a class; a keyword may not, but a keyword in
// another case may.
TEST(NewProjectTemplates, OnlyJavaIdentifiersThatAreNotReservedNameClasses) {
    for (const QString &name : {u"_x"_s, u"$Tool2"_s, u"Grüße"_s, u"Class"_s}) {
        EXPECT_TRUE(NewProjectTemplates::isJavaClassName(name)) << name.toStdString();
    }
    for (const QString &name :
         {u"My App"_s, u"2D"_s, u"class"_s, u"a-b"_s, u""_s, u"sealed"_s, u"permits"_s}) {
        EXPECT_FALSE(NewProjectTemplates::isJavaClassName(name)) << name.toStdString();
    }
}

} // namespace
