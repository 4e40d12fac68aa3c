#include "tools/compilermessagecolours.h"

namespace {

// A message of a file has its kind after the file and line; one of the compiler itself starts
// the line with it.
constexpr QLatin1StringView kError("error:");
constexpr QLatin1StringView kFileError(": error:");
constexpr QLatin1StringView kWarning("warning:");
constexpr QLatin1StringView kFileWarning(": warning:");

} // namespace

const QColor CompilerMessageColours::kErrorColour(0xC0, 0x00, 0x00);
const QColor CompilerMessageColours::kWarningColour(0x9A, 0x5B, 0x00);

CompilerMessageKind compilerMessageKind(QStringView line) {
    if (line.startsWith(kError) || line.contains(kFileError)) {
        return CompilerMessageKind::Error;
    }
    if (line.startsWith(kWarning) || line.contains(kFileWarning)) {
        return CompilerMessageKind::Warning;
    }
    return CompilerMessageKind::None;
}

CompilerMessageColours::CompilerMessageColours(QTextDocument *document)
    : QSyntaxHighlighter(document) {}

void CompilerMessageColours::highlightBlock(const QString &text) {
    switch (compilerMessageKind(text)) {
    case CompilerMessageKind::Error:
        setFormat(0, static_cast<int>(text.size()), kErrorColour);
        break;
    case CompilerMessageKind::Warning:
        setFormat(0, static_cast<int>(text.size()), kWarningColour);
        break;
    case CompilerMessageKind::None:
        break;
    }
}
