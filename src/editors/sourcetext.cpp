#include "editors/sourcetext.h"

#include <QStringDecoder>

#include <optional>

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

QString toEditorText(QStringView fileText, LineBreakStyle style) {
    QString text;
    text.reserve(fileText.size());
    for (qsizetype position = 0; position < fileText.size(); ++position) {
        const QChar character = fileText[position];
        if (character != QLatin1Char(kCarriageReturn)) {
            text.append(character);
        } else if (style == LineBreakStyle::CrLf && position + 1 < fileText.size()
                   && fileText[position + 1] == QLatin1Char(kLineFeed)) {
            text.append(QLatin1Char(kLineFeed));
            ++position;
        } else {
            text.append(kCarriageReturnPlaceholder);
        }
    }
    return text;
}

// Replaces each '\n' by `lineBreak` and each placeholder by CR.
QString expandLineBreaks(QStringView editorText, QStringView lineBreak) {
    QString text;
    text.reserve(editorText.size() + editorText.count(QLatin1Char(kLineFeed)));
    for (const QChar character : editorText) {
        if (character == QLatin1Char(kLineFeed)) {
            text.append(lineBreak);
        } else if (character == kCarriageReturnPlaceholder) {
            text.append(QLatin1Char(kCarriageReturn));
        } else {
            text.append(character);
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
    if (fileText && !fileText->contains(kCarriageReturnPlaceholder)) {
        source.encoding = SourceEncoding::Utf8;
    } else {
        source.encoding = SourceEncoding::Latin1;
        fileText = QString::fromLatin1(bytes);
    }
    source.text = toEditorText(*fileText, source.lineBreakStyle);
    return source;
}

QByteArray encodeSourceFile(QStringView text, SourceEncoding encoding, LineBreakStyle style) {
    const QString fileText = expandLineBreaks(text, lineBreakOf(style));
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
