#pragma once

#include "tools/messagelocation.h"

#include <QColor>

class QPlainTextEdit;

// Colours the error lines and the warning lines of an output edit, each in a colour of its own
// that reads well on a light background; the lines of an exception's stack trace are error
// lines. Only the lines about to be painted are coloured, each
// once until its text grows: colouring every line of a long program output would give each a
// layout object (gigabytes for millions of lines).
class CompilerMessageColours {
public:
    static const QColor kErrorColour;
    static const QColor kWarningColour;

    // Whether a line is part of the stack trace of an exception as the Java runtime prints it:
    // "Exception in thread ...", "Caused by: ...", and the indented "at ...(...)", "... N more"
    // and "Suppressed: ..." lines.
    static bool isStackTraceLine(QStringView line);
    // The colour of a line of output: that of its kind, or none (invalid) for an ordinary line.
    static QColor colourOf(QStringView line);
    // Colours the lines on the edit's screen that are not coloured yet; called as it paints.
    static void colourVisibleLines(QPlainTextEdit &edit);
};
