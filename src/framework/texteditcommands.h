#pragma once

#include <QList>
#include <QResizeEvent>
#include <QTextLayout>

#include <functional>

class QMarginsF;
class QPlainTextEdit;
class QTextBlock;
class QTextDocument;
class QWidget;

namespace fw {

class CommandTarget;

// Gives a text view the editing commands every editor window has: undo, cut, copy, paste,
// select all, find, replace, repeat the last search, print and print preview, with their
// enable rules. Used by the source view and the plain edit view alike.
void installTextEditCommands(CommandTarget &target, QPlainTextEdit &editor);

// Prints a text view's document through the print dialog, or shows the print preview.
void printTextView(QPlainTextEdit &editor);
void previewTextView(QPlainTextEdit &editor);

// The same for a document made for printing (a copy with the colours it is shown in), with the
// page margins given in millimetres; the printer's own margins come back afterwards.
void printDocument(const QTextDocument &document, QWidget *parent, const QMarginsF &margins);
void previewDocument(const QTextDocument &document, QWidget *parent, const QMarginsF &margins);

// An edit whose lines never wrap need not lay its text out again when its width changes, but
// Qt does, making a layout object for every line: for a text of millions of lines a freeze of
// seconds and hundreds of megabytes at every resize. Such an edit passes its resize events
// through widthChangeForQt: up to some thousands of lines Qt gets the event as it is; beyond,
// with the old width, so that it adjusts the scroll bars to the height only (the horizontal
// one then follows the widest line laid out so far).
QResizeEvent widthChangeForQt(const QPlainTextEdit &edit, const QResizeEvent &event);

// Colours drawn only where an unwrapped edit is painted. The blocks the edit shows now, top to
// bottom, with one more for a line cut at the bottom edge: each is one line of the same height.
void forEachShownBlock(const QPlainTextEdit &edit, const std::function<void(QTextBlock)> &visit);
// Gives a block's layout the formats unless it has them already (none given and none held);
// the block is laid out with them when it is next painted. The views are not asked to repaint:
// the caller draws just before it paints. Returns whether the formats were set.
bool setShownFormats(QTextDocument &document, const QTextBlock &block,
                     const QList<QTextLayout::FormatRange> &ranges);

} // namespace fw
