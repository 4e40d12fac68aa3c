#include "editors/sourcetext.h"
#include "editors/wordbreak.h"

#include <QString>

#include <gtest/gtest.h>

namespace {

using editors::WordBreak;
using editors::WordBreakAction;

// The delimiters of the rule spelled out as characters: white space and every ASCII punctuation
// mark but the underscore.
const QString kAsciiDelimiters = QStringLiteral("\t\n\v\f\r !\"#$%&'()*+,-./:;<=>?@[\\]^`{|}~");

class EveryAsciiCode : public testing::TestWithParam<int> {
protected:
    QChar character() const { return QChar(char16_t(GetParam())); }
    bool delimiter() const { return kAsciiDelimiters.contains(character()); }
    // Two word characters on each side of the code.
    QString word() const { return QStringLiteral("ab") + character() + QStringLiteral("cd"); }
};

TEST_P(EveryAsciiCode, IsDelimiterFollowsTheDelimiterSet) {
    EXPECT_EQ(WordBreak(word(), 2, 5, WordBreakAction::IsDelimiter), delimiter() ? 1 : 0);
    EXPECT_EQ(editors::isWordDelimiter(character()), delimiter());
}

TEST_P(EveryAsciiCode, LeftStopsJustAfterADelimiter) {
    EXPECT_EQ(WordBreak(word(), 5, 5, WordBreakAction::Left), delimiter() ? 3 : 0);
}

TEST_P(EveryAsciiCode, RightStopsAtADelimiter) {
    EXPECT_EQ(WordBreak(word(), 0, 5, WordBreakAction::Right), delimiter() ? 2 : 5);
}

INSTANTIATE_TEST_SUITE_P(WordBreak, EveryAsciiCode, testing::Range(0, 128),
                         [](const testing::TestParamInfo<int> &info) {
                             return "Code" + std::to_string(info.param);
                         });

TEST(WordBreak, LeftLooksFromTheCharacterBeforeThePosition) {
    const QString text = QStringLiteral("foo.bar_baz(x)");
    EXPECT_EQ(WordBreak(text, 11, int(text.size()), WordBreakAction::Left), 4);
    // The character at the position itself is not looked at.
    EXPECT_EQ(WordBreak(text, 3, int(text.size()), WordBreakAction::Left), 0);
    EXPECT_EQ(WordBreak(text, 4, int(text.size()), WordBreakAction::Left), 4);
    EXPECT_EQ(WordBreak(text, 0, int(text.size()), WordBreakAction::Left), 0);
}

TEST(WordBreak, RightLooksFromThePositionItself) {
    const QString text = QStringLiteral("foo.bar_baz(x)");
    EXPECT_EQ(WordBreak(text, 4, int(text.size()), WordBreakAction::Right), 11);
    EXPECT_EQ(WordBreak(text, 3, int(text.size()), WordBreakAction::Right), 3);
    EXPECT_EQ(WordBreak(text, 12, int(text.size()), WordBreakAction::Right), 13);
}

TEST(WordBreak, LastWordWithoutDelimiterEndsAtTheLength) {
    EXPECT_EQ(WordBreak(u"a last", 3, 6, WordBreakAction::Right), 6);
    EXPECT_EQ(WordBreak(u"a last", 6, 6, WordBreakAction::Right), 6);
}

TEST(WordBreak, OnlyTheGivenLengthIsRead) {
    EXPECT_EQ(WordBreak(u"abc def", 0, 3, WordBreakAction::Right), 3);
    EXPECT_EQ(WordBreak(u"a c", 3, 3, WordBreakAction::IsDelimiter), 0);
    EXPECT_EQ(WordBreak(u"a c", -1, 3, WordBreakAction::IsDelimiter), 0);
}

TEST(WordBreak, UnknownActionGivesZero) {
    EXPECT_EQ(WordBreak(u"a b", 1, 3, static_cast<WordBreakAction>(7)), 0);
}

TEST(WordBreak, AboveAsciiWhiteSpaceAndPunctuationBreakWordsLettersDoNot) {
    struct Case {
        char16_t code;
        bool delimiter;
    };
    const Case cases[] = {
        {0x00A0, true},  // no-break space
        {0x00AB, true},  // left guillemet
        {0x2014, true},  // em dash
        {0x3000, true},  // ideographic space
        {0x3002, true},  // ideographic full stop
        {0x00E9, false}, // e with acute
        {0x00DF, false}, // sharp s
        {0x00B2, false}, // superscript two
        {0x00A9, false}, // copyright sign
        {0x4E2D, false}, // a CJK ideograph
    };
    for (const Case &entry : cases) {
        EXPECT_EQ(editors::isWordDelimiter(QChar(entry.code)), entry.delimiter) << int(entry.code);
    }
}

TEST(WordBreak, StrayCarriageReturnBreaksWordsAsACarriageReturnDoes) {
    const QString text =
        QStringLiteral("ab") + editors::kCarriageReturnPlaceholder + QStringLiteral("cd");
    EXPECT_EQ(WordBreak(text, 0, 5, WordBreakAction::Right), 2);
}

} // namespace
