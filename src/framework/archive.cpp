#include "framework/archive.h"

#include <QStringDecoder>

#include <algorithm>
#include <limits>

namespace fw {

namespace {

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Characters of a 16-bit string that are no characters at all (a surrogate without its
// partner) become U+FFFD, so that the text can be written back as UTF-8 and reads the same.
QString decodeUtf16(const char *bytes, qsizetype count) {
    QString text(count, Qt::Uninitialized);
    char16_t *units = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < count; ++i) {
        units[i] = static_cast<char16_t>(static_cast<quint8>(bytes[2 * i])
                                         | (static_cast<quint8>(bytes[2 * i + 1]) << 8));
    }
    for (qsizetype i = 0; i < count; ++i) {
        if (isHighSurrogate(units[i]) && i + 1 < count && isLowSurrogate(units[i + 1])) {
            ++i;
        } else if (isHighSurrogate(units[i]) || isLowSurrogate(units[i])) {
            units[i] = QChar::ReplacementCharacter;
        }
    }
    return text;
}

bool isAscii(const char *bytes, qsizetype count) {
    for (qsizetype i = 0; i < count; ++i) {
        if (static_cast<quint8>(bytes[i]) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool isAscii(QStringView text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            return false;
        }
    }
    return true;
}

bool isValidUtf8(const QByteArray &bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    [[maybe_unused]] const QString text = utf8.decode(bytes);
    return !utf8.hasError();
}

QString decodeEightBit(const char *bytes, qsizetype count) {
    // ASCII reads the same in UTF-8 and Latin-1; the direct conversion is much faster.
    if (isAscii(bytes, count)) {
        return QString::fromLatin1(bytes, count);
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom
                                                    | QStringConverter::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes, count));
    if (utf8.hasError()) {
        return QString::fromLatin1(bytes, count);
    }
    return text;
}

} // namespace

Archive::Archive()
    : m_storing(true) {}

Archive::Archive(const QByteArray &bytes)
    : m_bytes(bytes)
    , m_storing(false) {}

void Archive::requireLoading() const {
    Q_ASSERT(!m_storing);
}

void Archive::requireStoring() const {
    Q_ASSERT(m_storing);
}

void Archive::writeUInt8(quint8 value) {
    requireStoring();
    m_bytes.append(static_cast<char>(value));
}

void Archive::writeUInt16(quint16 value) {
    requireStoring();
    const char bytes[] = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
    m_bytes.append(bytes, sizeof bytes);
}

void Archive::writeUInt32(quint32 value) {
    requireStoring();
    const char bytes[] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                          static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
    m_bytes.append(bytes, sizeof bytes);
}

void Archive::writeInt32(qint32 value) {
    writeUInt32(static_cast<quint32>(value));
}

void Archive::writeLength(qsizetype length) {
    if (length < kLongLength) {
        writeUInt8(static_cast<quint8>(length));
        return;
    }
    writeUInt8(kLongLength);
    if (length < kWideMarker) {
        writeUInt16(static_cast<quint16>(length));
        return;
    }
    writeUInt16(kLongerLength);
    Q_ASSERT(length <= std::numeric_limits<quint32>::max());
    writeUInt32(static_cast<quint32>(length));
}

void Archive::writeString(const QString &text) {
    if (isAscii(text)) {
        writeLength(text.size());
        const qsizetype start = m_bytes.size();
        m_bytes.resize(start + text.size());
        char *out = m_bytes.data() + start;
        for (const QChar c : text) {
            *out++ = static_cast<char>(c.unicode());
        }
        return;
    }
    // Text that one byte a character can hold is written so, as long as those bytes do not read
    // back as UTF-8: a string read from an 8-bit file goes back with the bytes it came with.
    const QByteArray latin1 = text.toLatin1();
    const bool fitsLatin1 =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
    const QByteArray bytes = fitsLatin1 && !isValidUtf8(latin1) ? latin1 : text.toUtf8();
    writeLength(bytes.size());
    m_bytes.append(bytes);
}

void Archive::writeStringArray(const QStringList &strings) {
    const qsizetype count = strings.size();
    if (count < kLongArrayCount) {
        writeUInt16(static_cast<quint16>(count));
    } else {
        writeUInt16(kLongArrayCount);
        writeUInt32(static_cast<quint32>(count));
    }
    for (const QString &text : strings) {
        writeString(text);
    }
}

const char *Archive::take(qsizetype count) {
    requireLoading();
    if (count < 0 || count > m_bytes.size() - m_position) {
        throw ArchiveError("archive: read past the end");
    }
    const char *bytes = m_bytes.constData() + m_position;
    m_position += count;
    return bytes;
}

quint8 Archive::readUInt8() {
    return static_cast<quint8>(*take(1));
}

quint16 Archive::readUInt16() {
    const quint16 low = readUInt8();
    const quint16 high = readUInt8();
    return static_cast<quint16>(low | (high << 8));
}

quint32 Archive::readUInt32() {
    const quint32 low = readUInt16();
    const quint32 high = readUInt16();
    return low | (high << 16);
}

qint32 Archive::readInt32() {
    return static_cast<qint32>(readUInt32());
}

// Reads a length prefix. The wide marker may stand once, before the real prefix.
quint32 Archive::readLength(bool *wide) {
    *wide = false;
    for (;;) {
        const quint8 shortLength = readUInt8();
        if (shortLength < kLongLength) {
            return shortLength;
        }
        const quint16 length = readUInt16();
        if (length == kLongerLength) {
            return readUInt32();
        }
        if (length != kWideMarker) {
            return length;
        }
        if (*wide) {
            throw ArchiveError("archive: repeated wide string marker");
        }
        *wide = true;
    }
}

QString Archive::readString() {
    bool wide = false;
    const qsizetype length = readLength(&wide);
    if (wide) {
        if (length > (m_bytes.size() - m_position) / 2) {
            throw ArchiveError("archive: read past the end");
        }
        return decodeUtf16(take(2 * length), length);
    }
    return decodeEightBit(take(length), length);
}

QStringList Archive::readStringArray() {
    qsizetype count = readUInt16();
    if (count == kLongArrayCount) {
        count = readUInt32();
    }
    // Every string takes at least one byte: a larger count cannot be right, and checking it
    // first keeps a crafted count from reserving memory the file cannot fill.
    if (count > m_bytes.size() - m_position) {
        throw ArchiveError("archive: string array count past the end");
    }
    QStringList strings;
    strings.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        strings.append(readString());
    }
    return strings;
}

Archive::NestingScope::NestingScope(Archive &archive)
    : m_archive(archive) {
    if (m_archive.m_nestingDepth >= kMaxNestingDepth) {
        throw ArchiveError("archive: records nested too deep");
    }
    ++m_archive.m_nestingDepth;
}

Archive::NestingScope::~NestingScope() {
    --m_archive.m_nestingDepth;
}

} // namespace fw
