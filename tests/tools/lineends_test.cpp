#include "tools/lineends.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The rule as it reads: after each chunk, with NUL bytes dropped, replace every CR LF of the
// whole text by LF, then every LF by CR LF.
void appendByWholeTextRule(QByteArray &text, QByteArray chunk) {
    text += chunk.replace('\0', QByteArray());
    text.replace("\r\n", "\n");
    text.replace("\n", "\r\n");
}

TEST(AppendCapturedChunk, CrLfSplitOverTwoReadsStaysOne) {
    QByteArray text;
    AppendCapturedChunk(text, "a\r");
    AppendCapturedChunk(text, "\nb\n");
    EXPECT_EQ(text, QByteArray("a\r\nb\r\n"));
}

TEST(AppendCapturedChunk, NulBytesAreDroppedAndTheRestOfTheChunkKept) {
    QByteArray text;
    AppendCapturedChunk(text, QByteArray("one\0two\r", 8));
    AppendCapturedChunk(text, QByteArray("\0\nthree\0", 8));
    EXPECT_EQ(text, QByteArray("onetwo\r\nthree"));
}

TEST(AppendCapturedChunk, MatchesTheWholeTextRuleOnRandomChunkings) {
    std::mt19937 random(20240531);
    const char alphabet[] = {'a', '\r', '\n', '\0', 'b'};
    std::uniform_int_distribution<int> pick(0, int(sizeof alphabet) - 1);
    std::uniform_int_distribution<int> length(0, 12);
    for (int round = 0; round < 3000; ++round) {
        QByteArray incremental;
        QByteArray oracle;
        const int chunks = 1 + round % 9;
        for (int index = 0; index < chunks; ++index) {
            QByteArray chunk;
            for (int count = length(random); count > 0; --count) {
                chunk += alphabet[pick(random)];
            }
            AppendCapturedChunk(incremental, chunk);
            appendByWholeTextRule(oracle, chunk);
            ASSERT_EQ(incremental, oracle) << "round " << round << ", chunk " << index;
        }
    }
}

} // namespace
