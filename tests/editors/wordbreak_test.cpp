#include "editors/sourcetext.h"
#include "editors/wordbreak.h"

#include <QString>

#include <gtest/gtest.h>

namespace {

using editors::WordBreak;
using editors::WordBreakAction;

// Every ASCII code between two word characters, through each action: white space and every
// punctuation mark but the underscore break words, everything else joins them.
TEST(WordBreak, EveryAsciiCodeForEachAction) {
    const QString delimiters = QStringLiteral("\t\n\v\f\r !\"#$%&'()*+,-./:;<=>?@[\\]^`{|}~");
    for (int code = 0; code < 128; ++code) {
        const QChar character{char16_t(code)};
        const bool delimiter = delimiters.contains(character);
        const QString word = QStringLiteral("ab") + character + QStringLiteral("cd");
        EXPECT_EQ(WordBreak(word, 2, 5, WordBreakAction::IsDelimiter), delimiter ? 1 : 0) << code;
        EXPECT_EQ(WordBreak(word, 5, 5, WordBreakAction::Left), delimiter ? 3 : 0) << code;
        EXPECT_EQ(WordBreak(word, 0, 5, WordBreakAction::Right), delimiter ? 2 : 5) << code;
        EXPECT_EQ(editors::isWordDelimiter(character), delimiter) << code;
    }
}

// Left looks from the character before the position, Right from the one at it, and neither
// reads past the given length.
TEST(WordBreak, LeftLooksBeforeThePositionRightAtItAndBothStopAtTheLength) {
    EXPECT_EQ(WordBreak(u"foo.bar", 3, 7, WordBreakAction::Left), 0);
    EXPECT_EQ(WordBreak(u"foo.bar", 3, 7, WordBreakAction::Right), 3);
    EXPECT_EQ(WordBreak(u"abc def", 0, 3, WordBreakAction::Right), 3);
    EXPECT_EQ(WordBreak(u"a c", 3, 3, WordBreakAction::IsDelimiter), 0);
}

// Beyond ASCII, spaces and punctuation break words but letters and other signs do not; a stray
// carriage return kept in the text breaks words as a line break does.
TEST(WordBreak, NonAsciiSpacesPunctuationAndStrayCarriageReturnsBreakWords) {
    for (const char16_t code : {u'\u00A0', u'\u00AB', u'\u2014', u'\u3000', u'\u3002'}) {
        EXPECT_TRUE(editors::isWordDelimiter(QChar(code))) << int(code);
    }
    for (const char16_t code : {u'\u00E9', u'\u00DF', u'\u00B2', u'\u00A9', u'\u4E2D'}) {
        EXPECT_FALSE(editors::isWordDelimiter(QChar(code))) << int(code);
    }
    const QString text =
        QStringLiteral("ab") + editors::kCarriageReturnPlaceholder + QStringLiteral("cd");
    EXPECT_EQ(WordBreak(text, 0, 5, WordBreakAction::Right), 2);
}

} // namespace
