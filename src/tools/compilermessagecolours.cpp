#include "tools/compilermessagecolours.h"

#include "framework/texteditcommands.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextLayout>

const QColor CompilerMessageColours::kErrorColour(0xC0, 0x00, 0x00);
const QColor CompilerMessageColours::kWarningColour(0x9A, 0x5B, 0x00);

bool CompilerMessageColours::isStackTraceLine(QStringView line) {
    if (line.startsWith(u"Exception in thread \"") || line.startsWith(u"Caused by: ")) {
        return true;
    }
    // The indented lines of a trace: "\tat Calc.main(Calc.java:7)", "\t... 2 more" and the
    // "Suppressed: " and "Caused by: " of a suppressed exception.
    const QStringView rest = line.trimmed();
    if (rest.isEmpty() || !line.front().isSpace()) {
        return false;
    }
    if (rest.startsWith(u"at ")) {
        return rest.contains(QLatin1Char('(')) && rest.endsWith(QLatin1Char(')'));
    }
    if (rest.startsWith(u"... ") && rest.endsWith(u" more")) {
        return true;
    }
    return rest.startsWith(u"Suppressed: ") || rest.startsWith(u"Caused by: ");
}

QColor CompilerMessageColours::colourOf(QStringView line) {
    switch (compilerMessageKind(line)) {
    case CompilerMessageKind::Error:
        return kErrorColour;
    case CompilerMessageKind::Warning:
        return kWarningColour;
    case CompilerMessageKind::None:
        break;
    }
    return isStackTraceLine(line) ? kErrorColour : QColor();
}

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
        const QColor colour = colourOf(text);
        QList<QTextLayout::FormatRange> ranges;
        if (colour.isValid()) {
            QTextCharFormat format;
            format.setForeground(colour);
            ranges.append({0, static_cast<int>(text.size()), format});
        }
        fw::setShownFormats(document, block, ranges);
    });
}
