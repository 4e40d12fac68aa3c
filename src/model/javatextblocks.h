#pragma once

#include <QString>
#include <QStringView>

// Text blocks (three double quotes ending their line, up to the three that close them) hold
// text, not code: braces and comment marks in them must not count. The scanner looks at a copy
// in which each text block's characters are blanked.
namespace model {

// The text with every character of each text block, its quotes included, made a space, line
// breaks kept, so that every offset still names the same character. Comments, strings and
// character literals are passed over on the way, so that three quotes in them open nothing. A
// text block left open runs to the end of the text. Returns a null string when the text holds
// no text block.
QString blankedTextBlocks(QStringView text);

} // namespace model
