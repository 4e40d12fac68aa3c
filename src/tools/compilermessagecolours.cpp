#include "tools/compilermessagecolours.h"

const QColor CompilerMessageColours::kErrorColour(0xC0, 0x00, 0x00);
const QColor CompilerMessageColours::kWarningColour(0x9A, 0x5B, 0x00);

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
