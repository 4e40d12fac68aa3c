#pragma once

#include "tools/messagelocation.h"

#include <QColor>
#include <QSyntaxHighlighter>

// Colours the error lines and the warning lines of an output document, each in a colour of its
// own that reads well on a light background.
class CompilerMessageColours : public QSyntaxHighlighter {
    Q_OBJECT

public:
    static const QColor kErrorColour;
    static const QColor kWarningColour;

    explicit CompilerMessageColours(QTextDocument *document);

protected:
    void highlightBlock(const QString &text) override;
};
