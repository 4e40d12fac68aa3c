#pragma once

#include <QColor>
#include <QStringView>
#include <QSyntaxHighlighter>

// The kind of a line of compiler output: javac's error lines ("File.java:12: error: ...",
// "error: ...") and warning lines ("File.java:3: warning: ...", "warning: [options] ...").
enum class CompilerMessageKind { None, Error, Warning };

CompilerMessageKind compilerMessageKind(QStringView line);

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
