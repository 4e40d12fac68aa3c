#include "editors/sourcetext.h"
#include "editors/syntaxcolouring.h"
#include "support/casename.h"

#include <gtest/gtest.h>

#include <random>

using namespace editors;
using namespace Qt::StringLiterals;

namespace {

struct DecodeCase {
    const char *name;
    QByteArray bytes;
    QString text;
    SourceEncoding encoding;
    LineBreakStyle style;
};

class DecodeSourceFile : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeSourceFile, GivesTextEncodingAndStyleAndEncodesBackToTheSameBytes) {
    const DecodeCase &expected = GetParam();
    const SourceText source = decodeSourceFile(expected.bytes);
    EXPECT_EQ(expected.text.toStdU16String(), source.text.toStdU16String());
    EXPECT_EQ(expected.encoding, source.encoding);
    EXPECT_EQ(expected.style, source.lineBreakStyle);
    EXPECT_EQ(expected.bytes, encodeSourceFile(source.text, source.encoding, source.lineBreakStyle,
                                               source.standIns));
}

const QString kCr(kCarriageReturnPlaceholder);
using enum SourceEncoding;
using enum LineBreakStyle;

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeSourceFile,
    testing::Values(
        DecodeCase{"EmptyFileIsUtf8WithLf", "", "", Utf8, Lf},
        DecodeCase{"LfFileKeepsItsBreaks", "a\nb\n", "a\nb\n", Utf8, Lf},
        DecodeCase{"CrLfFileShowsSingleBreaks", "a\r\nb\r\n", "a\nb\n", Utf8, CrLf},
        DecodeCase{"LoneCrInCrLfFileIsAPlaceholder", "a\rb\r\n\r", "a" + kCr + "b\n" + kCr, Utf8,
                   CrLf},
        DecodeCase{"OneBareLfMakesEveryCrAPlaceholder", "a\r\nb\n", "a" + kCr + "\nb\n", Utf8, Lf},
        DecodeCase{"CrOnlyFileIsLfWithPlaceholders", "a\rb\r", "a" + kCr + "b" + kCr, Utf8, Lf},
        DecodeCase{"ByteOrderMarkIsKept", "\xEF\xBB\xBFx\r\n", u"\uFEFFx\n"_s, Utf8, CrLf},
        DecodeCase{"MultiByteUtf8IsUtf8", "Gr\xC3\xBC\xC3\x9F\xF0\x9F\x98\x80\n",
                   u"Gr\u00FC\u00DF\U0001F600\n"_s, Utf8, Lf},
        DecodeCase{"InvalidUtf8IsLatin1", "caf\xE9\r\n", u"caf\u00E9\n"_s, Latin1, CrLf},
        DecodeCase{"TruncatedUtf8IsLatin1", "x\xE2\x82", u"x\u00E2\u0082"_s, Latin1, Lf},
        // Characters the editor cannot hold as themselves get private-use stand-ins that the
        // file does not hold; the rest of the file stays UTF-8.
        DecodeCase{"PlaceholderCharacterOfTheFileGetsAStandIn", "\xE2\x90\x8D\r\r\n",
                   u"\uE000"_s + kCr + u"\n"_s, Utf8, CrLf},
        DecodeCase{"ParagraphSeparatorGetsAStandInAndTheRestStaysUtf8",
                   "\"caf\xC3\xA9\xE2\x80\xA9\"\n", u"\"caf\u00E9\uE000\"\n"_s, Utf8, Lf},
        DecodeCase{"FrameMarkersGetStandInsThatTheFileDoesNotHold",
                   "\xEF\xB7\x90\xEE\x80\x80\xEF\xB7\x91\xEE\x80\x82\n",
                   u"\uE001\uE000\uE003\uE002\n"_s, Utf8, Lf}),
    testing_support::CaseName());

// Line breaks, stray CRs, multi-byte UTF-8 (a byte order mark, the placeholder character itself,
// a character outside the BMP, characters that need stand-ins and the first private-use one)
// and, now and then, any byte at all, which mostly spoils UTF-8.
QByteArray randomFile(std::mt19937 &random) {
    static const QByteArray kPieces[] = {
        "\r",           "\n",           "\r\n",         "x",
        "\xC3\xA9",     "\xEF\xBB\xBF", "\xE2\x90\x8D", "\xF0\x9F\x98\x80",
        "\xE2\x80\xA9", "\xEF\xB7\x90", "\xEE\x80\x80"};
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<size_t> pick(0, std::size(kPieces));
    std::uniform_int_distribution<int> anyByte(0, 255);
    QByteArray bytes;
    for (int count = length(random); count > 0; --count) {
        const size_t choice = pick(random);
        bytes +=
            choice < std::size(kPieces) ? kPieces[choice] : QByteArray(1, char(anyByte(random)));
    }
    return bytes;
}

TEST(SourceTextRoundTrip, EveryByteStringEncodesBackUnchanged) {
    std::mt19937 random(7);
    int filesPerEncoding[2] = {0, 0};
    for (int round = 0; round < 20000 && !HasFailure(); ++round) {
        const QByteArray bytes = randomFile(random);
        const SourceText source = decodeSourceFile(bytes);
        ++filesPerEncoding[int(source.encoding)];
        EXPECT_EQ(bytes, encodeSourceFile(source.text, source.encoding, source.lineBreakStyle,
                                          source.standIns))
            << bytes.toHex().toStdString();
        for (const char16_t lineBreak : {u'\r', u'\u2029', u'\uFDD0'}) {
            EXPECT_FALSE(source.text.contains(QChar(lineBreak))) << bytes.toHex().toStdString();
        }
    }
    EXPECT_GT(filesPerEncoding[int(Utf8)], 1000);
    EXPECT_GT(filesPerEncoding[int(Latin1)], 1000);
}

TEST(SourceTextPositions, EditorPositionsMapOntoCrLfOffsets) {
    const QString editorText = u"a\n"_s + kCr + u"/*\n\nb*/c"_s + kCr + u"\n"_s;
    const QString crLf = toCrLfText(editorText);
    EXPECT_EQ(u"a\r\n\r/*\r\n\r\nb*/c\r\r\n"_s.toStdU16String(), crLf.toStdU16String());
    qsizetype line = 0;
    for (qsizetype position = 0; position <= editorText.size(); ++position) {
        const qsizetype offset = crLfOffsetFromPosition(position, line);
        EXPECT_EQ(position, positionFromCrLfOffset(offset, line));
        EXPECT_EQ(IsInBlockComment(crLf, offset), IsInBlockComment(editorText, position));
        if (position < editorText.size()) {
            const QChar character = editorText[position];
            const bool becomesCr = character == u'\n' || character == kCarriageReturnPlaceholder;
            EXPECT_EQ(becomesCr ? u'\r' : character.unicode(), crLf[offset].unicode());
            line += character == u'\n' ? 1 : 0;
        }
    }
}

TEST(SourceTextEncodable, ReportsCharactersTheEncodingCannotHold) {
    EXPECT_TRUE(isEncodable(u"caf\u00E9\n"_s + kCr, Latin1));
    EXPECT_FALSE(isEncodable(u"\u20AC", Latin1));
    EXPECT_TRUE(isEncodable(u"\u20AC\U0001F600", Utf8));
    EXPECT_FALSE(isEncodable(QString(QChar(0xD800)) + u"x"_s, Utf8));
    EXPECT_FALSE(isEncodable(QString(QChar(0xDC00)), Utf8));
}

} // namespace
