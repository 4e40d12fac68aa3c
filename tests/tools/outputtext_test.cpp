#include "tools/outputtext.h"

#include "support/qtprinters.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The display form of the whole text at once: decoded, every CR LF and lone CR a '\n'.
QString displayOf(const QByteArray &bytes) {
    QString text = QString::fromUtf8(bytes);
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text;
}

// Output as a tool may write it: words, multi-byte characters, CR LF pairs and lone CRs, and
// now and then a byte that is not UTF-8.
QByteArray randomOutput(std::mt19937 &random, int length) {
    const QByteArray parts[] = {"x",    "error",    "\r\n",         "\r",
                                "\n",   "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80",
                                "\xff", " "};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(parts) - 1);
    QByteArray text;
    while (text.size() < length) {
        text += parts[pick(random)];
    }
    return text;
}

QByteArray numberedLines(int from, int to) {
    QByteArray lines;
    for (int line = from; line < to; ++line) {
        lines += "line " + QByteArray::number(line) + "\r\n";
    }
    return lines;
}

// However the bytes arrive, a text within its bounds shows what the whole text decoded at once
// shows, line for line.
TEST(OutputText, WithinItsBoundsShowsTheWholeTextForAnyChunking) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const QByteArray bytes = randomOutput(random, 1 + round * 7);
        std::uniform_int_distribution<qsizetype> chunk(1, 1 + round % 40);
        OutputText text;
        for (qsizetype appended = 0; appended < bytes.size();) {
            const qsizetype count = std::min(chunk(random), bytes.size() - appended);
            text.append(bytes.mid(appended, count));
            appended += count;
        }
        const QString expected = displayOf(bytes);
        ASSERT_EQ(text.text(), expected) << "round " << round;
        ASSERT_EQ(text.lineCount(), expected.count('\n') + (expected.endsWith('\n') ? 0 : 1));
        ASSERT_EQ(text.leftOutLines(), 0);
    }
}

// An endless output keeps its first lines and its latest, one marker line between them saying
// how many lines were left out, whatever the lines' sizes.
TEST(OutputText, EndlessOutputKeepsHeadMarkerAndLatestLines) {
    OutputText text({3, 1000, 4, 1000, 100});
    for (int block = 0; block < 10; ++block) {
        text.append(numberedLines(block * 10, block * 10 + 10));
    }
    EXPECT_EQ(text.text(), "line 0\nline 1\nline 2\n... 93 lines of output left out ...\n"
                           "line 96\nline 97\nline 98\nline 99\n");
    EXPECT_EQ(text.tailFirst(), 96);

    // Bounded in characters as well: a head of long lines closes early, and the tail keeps
    // fewer lines (never none).
    OutputText wide({1000, 25, 1000, 45, 100});
    for (int line = 0; line < 20; ++line) {
        wide.append(QByteArray(20, char('a' + line)) + "\n");
    }
    EXPECT_EQ(wide.headLineCount(), 2);
    EXPECT_EQ(wide.text().section('\n', 2, -1), "... 16 lines of output left out ...\n"
                                                    + QString(20, 's') + "\n" + QString(20, 't')
                                                    + "\n");
}

// A line longer than shown keeps its start and its end around a note of its length, so that an
// exit line after a line without a line end is still seen.
TEST(OutputText, LongLinesShowStartNoteAndEnd) {
    OutputText text({1000, 1'000'000, 1000, 1'000'000, 1000});
    QByteArray line = QByteArray(2000, 'a') + QByteArray(100'000, 'b') + QByteArray(100, 'c');
    for (qsizetype from = 0; from < line.size(); from += 7000) {
        text.append(line.mid(from, 7000));
    }
    EXPECT_EQ(text.line(0), QString(1000, 'a'));
    EXPECT_TRUE(text.isLastLineOpen());
    text.append("Exit code: 0\r\nNo Errors");
    EXPECT_EQ(text.line(0), QString(1000, 'a')
                                + " [... 101012 of the line's 102112 characters not shown ...] "
                                + QString(88, 'c') + "Exit code: 0");
    EXPECT_EQ(text.line(1), "No Errors");
}

// Output that never reached the text ends the line in progress, drops the tail kept so far and
// is counted with it; a stretch left out inside one line only lengthens it. Characters an edit
// would take for a line end are shown as replacement characters.
TEST(OutputText, LeftOutOutputEndsTheLineAndDropsTheTail) {
    OutputText text({2, 1000, 100, 1000, 50});
    text.append(numberedLines(0, 5) + "par");
    text.leaveOut(10, 400);
    text.append("line 15\n");
    EXPECT_EQ(text.text(), "line 0\nline 1\n... 13 lines of output left out ...\nline 15\n");

    OutputText longLine({2, 1000, 100, 1000, 10});
    longLine.append(QByteArray(20, 'x'));
    longLine.leaveOut(0, 1000);
    longLine.append("yz\xe2\x80\xa9\n");
    EXPECT_EQ(longLine.text(),
              QString(10, 'x')
                  + " [... 1000 of the line's 1023 characters not shown ...] xxxxxxxxxxyz"
                  + QChar(QChar::ReplacementCharacter) + "\n");
}

} // namespace
