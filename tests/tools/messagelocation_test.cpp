#include "tools/messagelocation.h"

#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <gtest/gtest.h>

namespace {

using testing_support::writeFileIn;

// The files javac was asked about live in <scratch>/java and <scratch>/java/bad; it ran in
// <scratch>/java.
TEST(MessageLocation, FindsTheFileTheMessageBeginsWith) {
    const QString scratch = testing_support::makeScratchFolder("locations");
    writeFileIn(scratch, "java/Hello.java", "class Hello {}\n");
    writeFileIn(scratch, "java/bad/Hello.java", "class Hello {\n");
    writeFileIn(scratch, "java/odd.java:9/X.java", "class X {}\n");
    const struct {
        QString message; // %1 stands for the scratch folder
        QString path;    // below the scratch folder; empty when the message names no place
        int line;
    } cases[] = {
        {"bad/Hello.java:12: error: x", "java/bad/Hello.java", 12},
        {"%1/java/bad/Hello.java:3: warning: y", "java/bad/Hello.java", 3},
        {"./bad/../Hello.java:2: error", "java/Hello.java", 2},
        {"odd.java:9/X.java:4: error", "java/odd.java:9/X.java", 4},
        {"Gone.java:8: error: x", "", 0},
        {"Hello.java: error: x", "", 0},
        {"  Hello.java:8: error", "", 0},
        {"Note: Hello.java uses unchecked or unsafe operations.", "", 0},
    };
    for (const auto &test : cases) {
        const std::optional<jdk::MessageLocation> location =
            jdk::messageLocation(QString(test.message).replace("%1", scratch), scratch + "/java");
        EXPECT_EQ(location ? std::make_pair(location->path, location->line)
                           : std::make_pair(scratch + "/", 0),
                  std::make_pair(scratch + "/" + test.path, test.line))
            << test.message.toStdString();
    }
}

// Errors and warnings about a place count; the compiler's own errors, notes, the lines that
// explain a message and a last line without its line end do not.
TEST(FileMessageLines, AreTheErrorAndWarningLinesOfFilesInOrder) {
    const QString output = QStringLiteral("javac -d . A.java\r\n"
                                          "A.java:3: error: cannot find symbol\r\n"
                                          "  symbol: method f()\r\n"
                                          "sub/odd.java:x/B.java:7: warning: [unchecked] y\r"
                                          "error: invalid flag: -q\r\n"
                                          "Note: A.java uses unchecked or unsafe operations.\r\n"
                                          "C.java:1: error: z");
    EXPECT_EQ(jdk::fileMessageLines(output), (QList<int>{1, 3}));
    EXPECT_TRUE(jdk::fileMessageLines(QString()).isEmpty());
}

// javac's caret line under a message gives the column, its tabs copied from the source line;
// "symbol:" lines may follow it; a message without one, and the next message, end the search.
TEST(MessageCaretColumn, IsTheIndexOfTheCaretUnderTheMessage) {
    const QString output = QStringLiteral("A.java:3: error: ';' expected\r\n"
                                          "        int x = 5\r\n"
                                          "                 ^\r\n"
                                          "A.java:7: error: cannot find symbol\r\n"
                                          "\t\tfoo();\r\n"
                                          "\t\t^\r\n"
                                          "  symbol: method foo()\r\n"
                                          "B.java:2: error: class, interface expected\r\n"
                                          "C.java:1: error: x ^ y\r\n"
                                          "2 errors\r\n"
                                          "Exit code: 1\r\n");
    const std::pair<int, std::optional<int>> cases[] = {
        {0, 17}, {3, 2}, {7, std::nullopt}, {8, std::nullopt}, {40, std::nullopt}};
    for (const auto &[line, column] : cases) {
        EXPECT_EQ(jdk::messageCaretColumn(output, line), column) << line;
    }
}

TEST(AdjacentMessageLine, GoesOnFromTheCurrentLineAndRoundAtTheEnds) {
    const QList<int> lines{2, 5, 9};
    struct Step {
        int current;
        bool forward;
        int expected;
    };
    const Step steps[] = {
        {-1, true, 2}, {2, true, 5},  {9, true, 2},  {3, true, 5},   {-1, false, 9},
        {2, false, 9}, {9, false, 5}, {6, false, 5}, {40, false, 9}, {40, true, 2},
    };
    for (const Step &step : steps) {
        EXPECT_EQ(jdk::adjacentMessageLine(lines, step.current, step.forward), step.expected)
            << step.current << (step.forward ? " forward" : " back");
    }
    EXPECT_EQ(jdk::adjacentMessageLine({}, -1, true), std::nullopt);
}

} // namespace
