#include "framework/archive.h"

#include <gtest/gtest.h>

#include "support/casename.h"
#include "support/qtprinters.h"

namespace {

QByteArray stored(const auto &write) {
    fw::Archive archive;
    write(archive);
    return archive.data();
}

struct LengthCase {
    const char *name;
    qsizetype length;
    QByteArray prefix;
};

class StringLengths : public testing::TestWithParam<LengthCase> {};

TEST_P(StringLengths, TakeTheShortestPrefixAndReadBack) {
    const QString text(GetParam().length, u'x');
    const QByteArray bytes = stored([&](fw::Archive &a) { a.writeString(text); });
    EXPECT_EQ(bytes.left(GetParam().prefix.size()).toHex(' '), GetParam().prefix.toHex(' '));
    EXPECT_EQ(bytes.size(), GetParam().prefix.size() + GetParam().length);
    fw::Archive in(bytes);
    EXPECT_EQ(in.readString(), text);
}

INSTANTIATE_TEST_SUITE_P(
    Archive, StringLengths,
    testing::Values(LengthCase{"EmptyIsOneZeroByte", 0, QByteArray::fromHex("00")},
                    LengthCase{"Length254HasOneBytePrefix", 254, QByteArray::fromHex("fe")},
                    LengthCase{"Length255Takes16Bits", 255, QByteArray::fromHex("ff ff 00")},
                    LengthCase{"Length65533Takes16Bits", 65533, QByteArray::fromHex("ff fd ff")},
                    LengthCase{"Length65534Takes32Bits", 65534,
                               QByteArray::fromHex("ff ff ff fe ff 00 00")}),
    testing_support::CaseName());

TEST(Archive, IntegersAndArrayCountsAreLittleEndian) {
    const QByteArray bytes = stored([](fw::Archive &a) {
        a.writeInt32(-2);
        a.writeUInt16(0x1234);
        a.writeStringArray({QStringLiteral("f"), QString()});
    });
    EXPECT_EQ(bytes.toHex(' '), QByteArray("fe ff ff ff 34 12 02 00 01 66 00"));
    const QByteArray many =
        stored([](fw::Archive &a) { a.writeStringArray(QStringList(0xFFFF, QString())); });
    EXPECT_EQ(many.left(6).toHex(' '), QByteArray("ff ff ff ff 00 00"));
    fw::Archive in(many);
    EXPECT_EQ(in.readStringArray().size(), 0xFFFF);
}

struct ReadCase {
    const char *name;
    QByteArray bytes;
    QString text;
};

class StringsRead : public testing::TestWithParam<ReadCase> {};

TEST_P(StringsRead, GiveThisText) {
    fw::Archive in(GetParam().bytes);
    EXPECT_EQ(in.readString(), GetParam().text);
    EXPECT_EQ(in.position(), GetParam().bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    Archive, StringsRead,
    testing::Values(ReadCase{"Utf16FormIsDecoded",
                             QByteArray::fromHex("ff feff 03 68 00 e9 00 ac 20"),
                             QStringLiteral("h\u00e9\u20ac")},
                    ReadCase{"Utf16FormWithLongLength",
                             QByteArray::fromHex("ff feff ff 0100 41 00"), QStringLiteral("A")},
                    ReadCase{"LoneSurrogateBecomesReplacementCharacter",
                             QByteArray::fromHex("ff feff 02 00 d8 41 00"),
                             QStringLiteral("\ufffdA")},
                    ReadCase{"ValidUtf8IsUtf8", QByteArray::fromHex("05 ef bb bf c3 a9"),
                             QStringLiteral("\ufeff\u00e9")},
                    ReadCase{"OtherBytesAreLatin1", QByteArray::fromHex("03 e9 74 e9"),
                             QStringLiteral("\u00e9t\u00e9")}),
    testing_support::CaseName());

TEST(Archive, TextBeyondLatin1IsStoredAsUtf8WithItsByteCount) {
    const QString text = QStringLiteral("\ufeffC:\\Pl\u00e4ne");
    const QByteArray bytes = stored([&](fw::Archive &a) { a.writeString(text); });
    EXPECT_EQ(bytes, char(12) + text.toUtf8());
    fw::Archive in(bytes);
    EXPECT_EQ(in.readString(), text);
}

TEST(Archive, TextThatFitsInABytePerCharacterIsStoredSoUnlessItWouldReadAsUtf8) {
    // "Pläne" goes one byte a character; "Ã©" would read back as "é" that way, so it goes in
    // UTF-8. Both come back as they were.
    for (const QString &text : {QStringLiteral("Pl\u00e4ne"), QStringLiteral("\u00c3\u00a9")}) {
        const QByteArray bytes = stored([&](fw::Archive &a) { a.writeString(text); });
        const QByteArray expected =
            text == QStringLiteral("Pl\u00e4ne") ? text.toLatin1() : text.toUtf8();
        EXPECT_EQ(bytes, char(expected.size()) + expected);
        fw::Archive in(bytes);
        EXPECT_EQ(in.readString(), text);
    }
}

class ImpossibleBytes : public testing::TestWithParam<ReadCase> {};

TEST_P(ImpossibleBytes, ThrowInsteadOfReading) {
    fw::Archive in(GetParam().bytes);
    EXPECT_THROW(GetParam().text.isEmpty() ? in.readString() : in.readStringArray().join(""),
                 fw::ArchiveError);
}

INSTANTIATE_TEST_SUITE_P(
    Archive, ImpossibleBytes,
    testing::Values(ReadCase{"LengthPastTheEnd", QByteArray::fromHex("03 41 42"), {}},
                    ReadCase{"CutInsideLengthPrefix", QByteArray::fromHex("ff 01"), {}},
                    ReadCase{"HugeLength", QByteArray::fromHex("ff ff ff ff ff ff 7f 41"), {}},
                    ReadCase{"Utf16LengthPastTheEnd", QByteArray::fromHex("ff feff 02 41 00"), {}},
                    ReadCase{"RepeatedWideMarker", QByteArray::fromHex("ff feff ff feff 00"), {}},
                    ReadCase{"ArrayCountPastTheEnd", QByteArray::fromHex("ff ff ff ff ff 0f 00"),
                             QStringLiteral("array")}),
    testing_support::CaseName());

} // namespace
