// The settings' form of the breakpoints: what is written reads back the same, and a text that
// was damaged outside Tarvo loses only its damaged entries.
#include "editors/breakpointstore.h"

#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace {

using Files = QMap<QString, QList<int>>;

TEST(BreakpointStoreTexts, ReadBackWhatWasWrittenEvenWithCommasAndTabsInPaths) {
    const Files files{{"/home/ada/Loop.java", {4, 12}},
                      {"/home/ada/a,b/Tab\there.java", {1}},
                      {"/home/ada/One.java", {300}}};
    EXPECT_EQ(BreakpointStore::fromTexts(BreakpointStore::toTexts(files)), files);
}

TEST(BreakpointLines, BlanksCommentsAnnotationsAndALoneBraceHoldNoCode) {
    for (const char *none :
         {"", "   \t", "  {", "// total", "  /* x */", "   * @param a", "@Override"}) {
        EXPECT_TRUE(BreakpointStore::holdsNoCode(QString::fromLatin1(none))) << none;
    }
    for (const char *code : {"  }", "x++; // count", "{ x++; }", "@interface Marker {}",
                             "for (int i = 0; i < 3; i++) {"}) {
        EXPECT_FALSE(BreakpointStore::holdsNoCode(QString::fromLatin1(code))) << code;
    }
}

TEST(BreakpointStoreTexts, DamagedEntriesAreSkippedAndTheRestKept) {
    const QStringList texts{
        "",    "no tab here",      "\t/only/a/path.java", "3,x,-2,0,3,1\t/kept/Sorted.java",
        "7\t", "x\t/no/lines.java"};
    EXPECT_EQ(BreakpointStore::fromTexts(texts), (Files{{"/kept/Sorted.java", {1, 3}}}));
}

} // namespace
