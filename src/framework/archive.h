#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace fw {

// What an open tells the user when a stored file cannot be read.
inline constexpr const char *kUnexpectedFileFormat = "Unexpected file format.";

// Thrown while loading when the bytes end early or hold a value that cannot be right (a
// length past the end, a list count out of range, nesting too deep). The reader drops
// everything it read and refuses the whole file.
class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A stream of bytes that model objects store themselves into or load themselves from.
// Integers are little-endian. A string is a length prefix and its bytes: one byte for 0 to
// 254, 0xFF and a 16-bit length for 255 to 65533, 0xFF 0xFFFF and a 32-bit length above that.
// A 16-bit value of 0xFFFE marks a string of 16-bit characters (read, never written).
//
// Strings are written one byte a character (Latin-1) when every character fits in a byte and
// those bytes are not valid UTF-8, otherwise as UTF-8; the length counts bytes, so ASCII text is
// stored one byte per character either way. On reading, bytes that are valid UTF-8 are decoded as
// UTF-8 and any other bytes as Latin-1, so every byte maps to a character, every string comes
// back as it was written, and a string read from an 8-bit file is written back byte for byte.
class Archive {
public:
    Archive();                                 // stores into an empty byte array
    explicit Archive(const QByteArray &bytes); // loads from the given bytes

    bool isStoring() const { return m_storing; }
    bool isLoading() const { return !m_storing; }

    // The bytes stored so far, or the bytes being loaded.
    const QByteArray &data() const { return m_bytes; }
    qsizetype position() const { return m_position; }

    void writeUInt8(quint8 value);
    void writeUInt16(quint16 value);
    void writeUInt32(quint32 value);
    void writeInt32(qint32 value);
    void writeString(const QString &text);
    void writeStringArray(const QStringList &strings);

    quint8 readUInt8();
    quint16 readUInt16();
    quint32 readUInt32();
    qint32 readInt32();
    QString readString();
    QStringList readStringArray();

    // Guards a recursive load: nested records deeper than kMaxNestingDepth refuse the file,
    // so that a crafted file cannot exhaust the stack.
    class NestingScope {
    public:
        explicit NestingScope(Archive &archive);
        ~NestingScope();
        NestingScope(const NestingScope &) = delete;
        NestingScope &operator=(const NestingScope &) = delete;

    private:
        Archive &m_archive;
    };
    static constexpr int kMaxNestingDepth = 255;

private:
    static constexpr quint8 kLongLength = 0xFF;
    static constexpr quint16 kWideMarker = 0xFFFE;
    static constexpr quint16 kLongerLength = 0xFFFF;
    static constexpr quint16 kLongArrayCount = 0xFFFF;

    void writeLength(qsizetype length);
    quint32 readLength(bool *wide);
    const char *take(qsizetype count);
    void requireLoading() const;
    void requireStoring() const;

    QByteArray m_bytes;
    qsizetype m_position = 0;
    bool m_storing;
    int m_nestingDepth = 0;
};

} // namespace fw
