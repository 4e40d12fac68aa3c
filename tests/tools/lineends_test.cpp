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

// Random texts of CR, LF, NUL and letters in random chunks: CR LF pairs split across reads,
// lone CRs at chunk ends and NUL bytes anywhere all meet the rule.
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
