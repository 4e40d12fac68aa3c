#include "editors/filesearch.h"

#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

// The matches as "line:column:length", in order.
QStringList places(const search::Hits &hits) {
    QStringList found;
    for (const search::Hit &hit : hits) {
        found << QStringLiteral("%1:%2:%3").arg(hit.line).arg(hit.column).arg(hit.length);
    }
    return found;
}

struct MatchCase {
    const char *name;
    search::Query query;
    QStringList places;
};

class MatcherTest : public testing::TestWithParam<MatchCase> {};

const QString kText = QStringLiteral("class Counter {\n"
                                     "    int count; // counter of counts\n"
                                     "\tCounter c = new Counter();\n"
                                     "}");

TEST_P(MatcherTest, FindsEveryMatchAtItsLineAndColumn) {
    const search::Matcher matcher(GetParam().query);
    ASSERT_TRUE(matcher.isValid()) << matcher.error().toStdString();
    search::Hits hits;
    matcher.findAll("/p/Counter.java", kText, hits);
    EXPECT_EQ(places(hits), GetParam().places);
}

const MatchCase kMatchCases[] = {
    {"PlainTextIgnoresCaseByDefault", {"counter"}, {"1:6:7", "2:18:7", "3:1:7", "3:17:7"}},
    {"MatchCase", {"Counter", false, true}, {"1:6:7", "3:1:7", "3:17:7"}},
    {"WholeWordSkipsLongerWords", {"count", false, true, true}, {"2:8:5"}},
    {"RegularExpression", {"count\\w*", true, true}, {"2:8:5", "2:18:7", "2:29:6"}},
    {"RegularExpressionIgnoringCase", {"^\\s+COUNTER", true}, {"3:0:8"}},
    {"RegularExpressionWholeWord",
     {"c\\w+", true, true, true},
     {"1:0:5", "2:8:5", "2:18:7", "2:29:6"}},
    {"MatchOverALineEndIsCutThere", {"\\{\\s+int", true}, {"1:14:1"}},
    {"EmptyMatchesArePassedOver", {"x*", true}, {}},
    {"LastLineWithoutLineEnd", {"}"}, {"4:0:1"}},
};
INSTANTIATE_TEST_SUITE_P(FindInFiles, MatcherTest, testing::ValuesIn(kMatchCases),
                         testing_support::CaseName());

TEST(Matcher, TellsWhatIsWrongWithAQuery) {
    EXPECT_FALSE(search::Matcher({"", false}).isValid());
    const search::Matcher broken({"(unclosed", true});
    EXPECT_FALSE(broken.isValid());
    EXPECT_TRUE(broken.error().startsWith("The regular expression is not valid"));
}

// The worker reads files as a window does (a Latin-1 file keeps its columns, a file with a NUL
// is no text), takes an unsaved window's text instead of its file, streams the matches and can
// be stopped.
TEST(FileSearch, SearchesFilesAndUnsavedTextsInOrder) {
    const QString folder = testing_support::makeScratchFolder("filesearch");
    const QString a = testing_support::writeFileIn(folder, "A.java", "// caf\xe9 needle\n");
    const QString b = testing_support::writeFileIn(folder, "B.java", "needle on disk\n");
    const QString binary =
        testing_support::writeFileIn(folder, "C.class", QByteArray("needle\0", 7));
    search::FileSearch search;
    search::Hits hits;
    std::optional<int> searched;
    QObject::connect(&search, &search::FileSearch::found,
                     [&hits](const std::shared_ptr<search::Hits> &found) {
                         hits.insert(hits.end(), found->begin(), found->end());
                     });
    QObject::connect(&search, &search::FileSearch::finished,
                     [&searched](int files, bool) { searched = files; });
    search.start(search::Matcher({"needle"}), {a, b, binary, folder + "/Gone.java"},
                 {{b, "unsaved\n\n  needle in the window\n"}});
    QElapsedTimer clock;
    clock.start();
    while (!searched && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    ASSERT_EQ(searched, 2);
    EXPECT_FALSE(search.isRunning());
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].path, a);
    EXPECT_EQ(hits[0].lineText, QString::fromLatin1("// caf\xe9 needle"));
    EXPECT_EQ(places(hits), (QStringList{"1:8:6", "3:2:6"}));
    EXPECT_EQ(hits[1].lineText, "  needle in the window");

    // Stopped at once, nothing of it arrives any more.
    search.start(search::Matcher({"needle"}), QStringList(2000, a), {});
    search.stop();
    hits.clear();
    QCoreApplication::processEvents();
    EXPECT_TRUE(hits.empty());
    EXPECT_FALSE(search.isRunning());
}

} // namespace
