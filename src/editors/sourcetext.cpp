#include "editors/sourcetext.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <utility>

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

bool holdsEditorBlockBreak(const QString &text) {
    return std::any_of(std::begin(kEditorBlockBreaks), std::end(kEditorBlockBreaks),
                       [&text](char16_t character) { return text.contains(QChar(character)); });
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
    // The editor widget breaks lines at a few more characters, so a file holding one is read
    // as Latin-1 too, where they cannot occur.
    if (fileText && !fileText->contains(kCarriageReturnPlaceholder)
        && !holdsEditorBlockBreak(*fileText)) {
        source.encoding = SourceEncoding::Utf8;
    } else {
        source.encoding = SourceEncoding::Latin1;
        fileText = QString::fromLatin1(bytes);
    }
    source.text = toEditorText(std::move(*fileText), source.lineBreakStyle);
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
