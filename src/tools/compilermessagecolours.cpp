#include "tools/compilermessagecolours.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextLayout>

#include <algorithm>

const QColor CompilerMessageColours::kErrorColour(0xC0, 0x00, 0x00);
const QColor CompilerMessageColours::kWarningColour(0x9A, 0x5B, 0x00);

void CompilerMessageColours::colourVisibleLines(QPlainTextEdit &edit) {
    QTextDocument *document = edit.document();
    // Lines are never wrapped, so each block is one line; one more covers a line cut at the
    // bottom edge.
    const int lineHeight = std::max(1, edit.fontMetrics().lineSpacing());
    const int lines = edit.viewport()->height() / lineHeight + 2;
    // A block is coloured for the length it has: its user state holds that length, and a line
    // that grows as output arrives is coloured again.
    QTextBlock block = document->findBlock(edit.cursorForPosition(QPoint(0, 0)).position());
    for (int line = 0; line < lines && block.isValid(); ++line, block = block.next()) {
        if (block.userState() == block.length()) {
            continue;
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
        QTextLayout *layout = block.layout();
        if (ranges.isEmpty() && layout->formats().isEmpty()) {
            continue;
        }
        layout->setFormats(ranges);
        // The block is laid out again with its colour when it is painted, which follows at
        // once: the layout's own call to repaint everything is not needed.
        const QSignalBlocker quiet(document->documentLayout());
        document->markContentsDirty(block.position(), block.length());
    }
}
