#include "editors/sourcetext.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace editors {

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char16_t kLastLatin1Character = 0xFF;

std::optional<QString> decodeUtf8(const QByteArray &bytes) {
    // The default flags would drop a leading byte order mark, and saving would lose it.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                     | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

// Characters the editor widget takes for the end of a line, besides '\n' and CR: the paragraph
// separator and the two frame markers of its text document.
constexpr char16_t kEditorBlockBreaks[] = {0x2029, 0xFDD0, 0xFDD1};

// The private-use area of the basic plane, from which stand-ins are taken.
constexpr char16_t kFirstPrivateUse = 0xE000;
constexpr char16_t kLastPrivateUse = 0xF8FF;

// The characters of the text that need a stand-in, each with a private-use character that the
// text does not hold; none when the text holds every private-use character.
std::optional<QList<StandIn>> chooseStandIns(const QString &text) {
    QList<QChar> needed;
    for (const char16_t character : kEditorBlockBreaks) {
        if (text.contains(QChar(character))) {
            needed << QChar(character);
        }
    }
    if (text.contains(kCarriageReturnPlaceholder)) {
        needed << kCarriageReturnPlaceholder;
    }
    QList<StandIn> standIns;
    if (needed.isEmpty()) {
        return standIns;
    }
    std::vector<bool> held(kLastPrivateUse - kFirstPrivateUse + 1, false);
    for (const QChar character : text) {
        if (character.unicode() >= kFirstPrivateUse && character.unicode() <= kLastPrivateUse) {
            held[character.unicode() - kFirstPrivateUse] = true;
        }
    }
    char16_t candidate = kFirstPrivateUse;
    for (const QChar original : needed) {
        while (candidate <= kLastPrivateUse && held[candidate - kFirstPrivateUse]) {
            ++candidate;
        }
        if (candidate > kLastPrivateUse) {
            return std::nullopt;
        }
        standIns << StandIn{original, QChar(candidate++)};
    }
    return standIns;
}

// Puts each stand-in in place of the character it stands for, or (toStandIn false) back.
void replaceCharacters(QString &text, const QList<StandIn> &standIns, bool toStandIn) {
    for (QChar &character : text) {
        for (const StandIn &standIn : standIns) {
            if (character == (toStandIn ? standIn.original : standIn.standIn)) {
                character = toStandIn ? standIn.standIn : standIn.original;
                break;
            }
        }
    }
}

LineBreakStyle detectLineBreakStyle(const QByteArray &bytes) {
    bool hasCrLf = false;
    for (qsizetype position = 0; position < bytes.size(); ++position) {
        if (bytes[position] != kLineFeed) {
            continue;
        }
        if (position == 0 || bytes[position - 1] != kCarriageReturn) {
            return LineBreakStyle::Lf;
        }
        hasCrLf = true;
    }
    return hasCrLf ? LineBreakStyle::CrLf : LineBreakStyle::Lf;
}

QString toEditorText(QString fileText, LineBreakStyle style) {
    if (!fileText.contains(QLatin1Char(kCarriageReturn))) {
        return fileText;
    }
    const QChar *in = fileText.constData();
    const qsizetype length = fileText.size();
    QString text(length, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype position = 0; position < length; ++position) {
        if (in[position] != QLatin1Char(kCarriageReturn)) {
            *out++ = in[position];
        } else if (style == LineBreakStyle::CrLf && position + 1 < length
                   && in[position + 1] == QLatin1Char(kLineFeed)) {
            *out++ = QLatin1Char(kLineFeed);
            ++position;
        } else {
            *out++ = kCarriageReturnPlaceholder;
        }
    }
    text.truncate(out - text.constData());
    return text;
}

// Replaces each '\n' by `lineBreak` and each placeholder by CR.
QString expandLineBreaks(QStringView editorText, QStringView lineBreak) {
    const qsizetype lineBreaks = editorText.count(QLatin1Char(kLineFeed));
    QString text(editorText.size() + lineBreaks * (lineBreak.size() - 1), Qt::Uninitialized);
    QChar *out = text.data();
    for (const QChar character : editorText) {
        if (character == QLatin1Char(kLineFeed)) {
            out = std::copy(lineBreak.begin(), lineBreak.end(), out);
        } else if (character == kCarriageReturnPlaceholder) {
            *out++ = QLatin1Char(kCarriageReturn);
        } else {
            *out++ = character;
        }
    }
    return text;
}

QStringView lineBreakOf(LineBreakStyle style) {
    return style == LineBreakStyle::CrLf ? QStringView(u"\r\n") : QStringView(u"\n");
}

} // namespace

SourceText decodeSourceFile(const QByteArray &bytes) {
    SourceText source;
    source.lineBreakStyle = detectLineBreakStyle(bytes);
    std::optional<QString> fileText = decodeUtf8(bytes);
    std::optional<QList<StandIn>> standIns;
    if (fileText) {
        standIns = chooseStandIns(*fileText);
    }
    if (standIns) {
        source.encoding = SourceEncoding::Utf8;
        source.standIns = std::move(*standIns);
        replaceCharacters(*fileText, source.standIns, true);
    } else {
        // Latin-1 holds none of the characters that need a stand-in.
        source.encoding = SourceEncoding::Latin1;
        fileText = QString::fromLatin1(bytes);
    }
    source.text = toEditorText(std::move(*fileText), source.lineBreakStyle);
    return source;
}

QByteArray encodeSourceFile(QStringView text, SourceEncoding encoding, LineBreakStyle style,
                            const QList<StandIn> &standIns) {
    // The placeholders become CRs first: a stand-in may stand for the placeholder character.
    QString fileText = expandLineBreaks(text, lineBreakOf(style));
    if (!standIns.isEmpty()) {
        replaceCharacters(fileText, standIns, false);
    }
    return encoding == SourceEncoding::Utf8 ? fileText.toUtf8() : fileText.toLatin1();
}

bool isEncodable(QStringView text, SourceEncoding encoding) {
    if (encoding == SourceEncoding::Latin1) {
        for (const QChar character : text) {
            if (character.unicode() > kLastLatin1Character
                && character != kCarriageReturnPlaceholder) {
                return false;
            }
        }
        return true;
    }
    for (qsizetype position = 0; position < text.size(); ++position) {
        const QChar character = text[position];
        if (character.isHighSurrogate() && position + 1 < text.size()
            && text[position + 1].isLowSurrogate()) {
            ++position;
        } else if (character.isSurrogate()) {
            return false;
        }
    }
    return true;
}

QString toCrLfText(QStringView editorText) {
    return expandLineBreaks(editorText, u"\r\n");
}

} // namespace editors
