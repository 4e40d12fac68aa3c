// The framing both sides of the service speak: messages come through whole however the bytes
// are cut, and a frame that breaks the rules stops the reading instead of being guessed at.
#include "javaservice/protocol.h"

#include "support/qtprinters.h"

#include <QVariantList>

#include <gtest/gtest.h>

namespace {

using javaservice::protocol::encodeFrame;
using javaservice::protocol::FrameReader;
using javaservice::protocol::Message;

const Message kSample{
    42,
    "check",
    {{"path", QString("/p/Ä.java")},
     {"data", QByteArray("\0\xff\r\n", 4)},
     {"line", qint64(-7)},
     {"options", QVariantList{"-Xlint", "-g"}},
     {"overlays", QVariantList{QVariantMap{{"path", "/p/B.java"}, {"text", ""}}}}}};

TEST(ProtocolTest, MessagesComeThroughWholeHoweverTheBytesAreCut) {
    const QByteArray frames = encodeFrame(kSample) + encodeFrame({0, "ready", {}});
    for (const qsizetype piece : {qsizetype(1), qsizetype(3), frames.size()}) {
        FrameReader reader;
        QList<Message> read;
        for (qsizetype at = 0; at < frames.size(); at += piece) {
            reader.append(QByteArrayView(frames).sliced(at, std::min(piece, frames.size() - at)));
            while (std::optional<Message> message = reader.next()) {
                read.append(*message);
            }
        }
        ASSERT_EQ(read.size(), 2) << piece;
        EXPECT_EQ(read[0].id, 42u);
        EXPECT_EQ(read[0].kind, "check");
        EXPECT_EQ(read[0].fields, kSample.fields);
        EXPECT_EQ(read[1].kind, "ready");
        EXPECT_FALSE(reader.failed());
    }
}

TEST(ProtocolTest, BrokenFramesStopTheReading) {
    const QByteArray good = encodeFrame(kSample);
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"length beyond the limit", QByteArray("\x7f\xff\xff\xff", 4)},
        {"count beyond the frame", QByteArray("\0\0\0\4\0\0\0\x09", 8)},
        {"unknown value type", QByteArray("\0\0\0\x0b\0\0\0\1\0\0\0\2id", 13) + "x"},
        {"no kind", encodeFrame({1, "k", {}}).replace("kind", "kine")},
        {"bytes after the record", QByteArray("\0\0\0\5\0\0\0\0x", 9)},
    };
    for (const auto &test : cases) {
        FrameReader reader;
        reader.append(test.bytes + good);
        EXPECT_EQ(reader.next().has_value(), false) << test.name;
        EXPECT_TRUE(reader.failed()) << test.name;
        EXPECT_EQ(reader.next().has_value(), false) << test.name;
    }
}

} // namespace
