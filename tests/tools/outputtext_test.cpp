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
    const QByteArray parts[] = {
        "x", "error", "\r\n", "\r", "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80", "\xff", " "};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(parts) - 1);
    QByteArray text;
    while (text.size() < length) {
        text += parts[pick(random)];
    }
    return text;
}

// However the bytes arrive and however they are sliced, the slices make the same display text
// as the whole text at once, and the held text is exactly the bytes appended.
TEST(OutputText, SlicesAgreeWithTheWholeTextForAnyChunking) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const QByteArray bytes = randomOutput(random, 1 + round * 7);
        std::uniform_int_distribution<qsizetype> chunk(1, 1 + round % 40);
        std::uniform_int_distribution<int> slicesPerAppend(0, 2);
        OutputText text;
        QString shown;
        qsizetype appended = 0;
        while (appended < bytes.size() || text.hasPending()) {
            const qsizetype count = std::min(chunk(random), bytes.size() - appended);
            text.append(bytes.mid(appended, count));
            appended += count;
            for (int slice = slicesPerAppend(random); slice > 0; --slice) {
                shown += text.nextDisplaySlice(chunk(random));
            }
            if (appended == bytes.size()) {
                shown += text.nextDisplaySlice(bytes.size());
            }
        }
        ASSERT_EQ(shown, displayOf(bytes)) << "round " << round;
        ASSERT_EQ(text.bytes(text.size()), bytes) << "round " << round;
        ASSERT_EQ(text.text(), QString::fromUtf8(bytes)) << "round " << round;
        ASSERT_EQ(text.placedSize(), bytes.size());
    }
}

} // namespace
