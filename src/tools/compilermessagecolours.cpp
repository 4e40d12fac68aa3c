#include "tools/compilermessagecolours.h"

#include "framework/texteditcommands.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextLayout>

const QColor CompilerMessageColours::kErrorColour(0xC0, 0x00, 0x00);
const QColor CompilerMessageColours::kWarningColour(0x9A, 0x5B, 0x00);

void CompilerMessageColours::colourVisibleLines(QPlainTextEdit &edit) {
    // A block is coloured for the length it has: its user state holds that length, and a line
    // that grows as output arrives is coloured again.
    QTextDocument &document = *edit.document();
    fw::forEachShownBlock(edit, [&document](QTextBlock block) {
        if (block.userState() == block.length()) {
            return;
        }
        block.setUserState(block.length());
        const QString text = block.text();
        QColor colour;
        switch (compilerMessageKind(text)) {
        case CompilerMessageKind::Error:
            colour = kErrorColour;
            break;
        case CompilerMessageKind::Warning:
            colour = kWarningColour;
            break;
        case CompilerMessageKind::None:
            break;
        }
        QList<QTextLayout::FormatRange> ranges;
        if (colour.isValid()) {
            QTextCharFormat format;
            format.setForeground(colour);
            ranges.append({0, static_cast<int>(text.size()), format});
        }
        fw::setShownFormats(document, block, ranges);
    });
}
