#pragma once

class QPlainTextEdit;

namespace fw {

class CommandTarget;

// Gives a text view the editing commands every editor window has: undo, cut, copy, paste,
// select all, find, replace, repeat the last search, print and print preview, with their
// enable rules. Used by the source view and the plain edit view alike.
void installTextEditCommands(CommandTarget &target, QPlainTextEdit &editor);

// Prints a text view's document through the print dialog, or shows the print preview.
void printTextView(QPlainTextEdit &editor);
void previewTextView(QPlainTextEdit &editor);

} // namespace fw
