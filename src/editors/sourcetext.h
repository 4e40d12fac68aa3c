#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The source-file codec: bytes on disk to the text an editor shows and back, without loss.
//
// The editor text breaks lines with '\n' only. A carriage return that is not part of the file's
// own line breaks (a lone CR in a CR LF file, any CR in an LF file) would become a line break in
// the editor widget; it is kept in the editor text as kCarriageReturnPlaceholder instead, and
// turned back into CR when the text is encoded. A file whose text already holds that character
// itself, or a character that the editor widget also takes for a line break (U+2029, U+FDD0,
// U+FDD1), is read as Latin-1, where none of them can occur, so that nothing in the file can be
// taken for a placeholder or split into lines; such a file shows its non-ASCII characters byte
// by byte.
namespace editors {

// U+240D SYMBOL FOR CARRIAGE RETURN, visible where the file holds a stray CR.
inline constexpr QChar kCarriageReturnPlaceholder{0x240D};

enum class SourceEncoding { Utf8, Latin1 };
enum class LineBreakStyle { Lf, CrLf };

// A decoded source file. Unmodified, it encodes back to exactly the bytes it came from.
struct SourceText {
    QString text;
    SourceEncoding encoding = SourceEncoding::Utf8;
    LineBreakStyle lineBreakStyle = LineBreakStyle::Lf;
};

// UTF-8 when the bytes are valid UTF-8 (a leading byte order mark is kept as a character),
// Latin-1 otherwise, so that every byte comes back. CR LF when the file holds at least one CR LF
// and every LF in it follows a CR; LF otherwise, also for a file without line breaks.
SourceText decodeSourceFile(const QByteArray &bytes);

// Each '\n' becomes the style's line break and each placeholder a CR. A character the encoding
// cannot hold (above U+00FF in Latin-1, an unpaired surrogate in UTF-8) is written as '?':
// check isEncodable first where that matters.
QByteArray encodeSourceFile(QStringView text, SourceEncoding encoding, LineBreakStyle style);

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
