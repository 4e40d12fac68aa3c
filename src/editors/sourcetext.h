#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

// The source-file codec: bytes on disk to the text an editor shows and back, without loss.
//
// The editor text breaks lines with '\n' only. A carriage return that is not part of the file's
// own line breaks (a lone CR in a CR LF file, any CR in an LF file) would become a line break in
// the editor widget; it is kept in the editor text as kCarriageReturnPlaceholder instead, and
// turned back into CR when the text is encoded. A character that the editor widget also takes
// for a line break (U+2029, U+FDD0, U+FDD1), and the placeholder character itself where the file
// holds it, is kept in the editor text as a stand-in: a private-use character that the file does
// not hold, turned back into the file's character when the text is encoded. So a UTF-8 file is
// read as UTF-8 whatever it holds, and nothing in it is split into lines or taken for a CR.
namespace editors {

// U+240D SYMBOL FOR CARRIAGE RETURN, visible where the file holds a stray CR.
inline constexpr QChar kCarriageReturnPlaceholder{0x240D};

enum class SourceEncoding { Utf8, Latin1 };
enum class LineBreakStyle { Lf, CrLf };

// A character of the file that the editor text cannot hold as itself, and the private-use
// character that stands for it there.
struct StandIn {
    QChar original;
    QChar standIn;
    bool operator==(const StandIn &) const = default;
};

// A decoded source file. Unmodified, it encodes back to exactly the bytes it came from.
struct SourceText {
    QString text;
    SourceEncoding encoding = SourceEncoding::Utf8;
    LineBreakStyle lineBreakStyle = LineBreakStyle::Lf;
    // Empty for a file that holds none of the characters that need one.
    QList<StandIn> standIns;
};

// UTF-8 when the bytes are valid UTF-8 (a leading byte order mark is kept as a character),
// Latin-1 otherwise, so that every byte comes back. CR LF when the file holds at least one CR LF
// and every LF in it follows a CR; LF otherwise, also for a file without line breaks. (Only a
// UTF-8 file holding every private-use character as well as one that needs a stand-in is read as
// Latin-1, as no stand-in is left for it.)
SourceText decodeSourceFile(const QByteArray &bytes);

// Each '\n' becomes the style's line break, each placeholder a CR and each stand-in the
// character it stands for. A character the encoding cannot hold (above U+00FF in Latin-1, an
// unpaired surrogate in UTF-8) is written as '?': check isEncodable first where that matters.
QByteArray encodeSourceFile(QStringView text, SourceEncoding encoding, LineBreakStyle style,
                            const QList<StandIn> &standIns = {});

// Whether every character of an editor text survives encodeSourceFile.
bool isEncodable(QStringView text, SourceEncoding encoding);

// The text the colouring passes and the scanner take: each '\n' becomes CR LF and each
// placeholder a CR. Applied to one line without its break, it turns placeholders into CR only,
// so offsets within the line stay the same.
QString toCrLfText(QStringView editorText);

// An editor position counts a line break as one character, a CR LF offset as two; `line` is the
// 0-based line that holds the position, the number of line breaks before it.
constexpr qsizetype crLfOffsetFromPosition(qsizetype position, qsizetype line) {
    return position + line;
}

// The inverse of crLfOffsetFromPosition; `line` is the line that holds the offset. The offset of
// the LF within a CR LF has no position of its own and gives the start of the next line.
constexpr qsizetype positionFromCrLfOffset(qsizetype offset, qsizetype line) {
    return offset - line;
}

} // namespace editors
