#include "editors/plaintextediting.h"

#include "framework/prompter.h"
#include "services/appsettings.h"
#include "services/ideservices.h"

#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace editors {

namespace {

constexpr qsizetype kIndentScanLimit = 1024;
constexpr int kTabStopCharacters = 4;
constexpr int kTenthsPerPoint = 10;
constexpr QChar kTab = u'\t';
constexpr QChar kSpace = u' ';

// The position just past a line's last character, before its line break.
int lineEnd(const QTextBlock &block) {
    return block.position() + block.length() - 1;
}

// The lines an indent or outdent works on, 0-based, first <= last.
struct LineSpan {
    int first = 0;
    int last = 0;
};

LineSpan selectedLines(const QTextCursor &selection, SelectionEndLine rule) {
    const QTextDocument &text = *selection.document();
    const int start = selection.selectionStart();
    int end = selection.selectionEnd();
    if (rule == SelectionEndLine::CharacterBeforeEnd) {
        end = std::max(start, end - 1);
    }
    return {text.findBlock(start).blockNumber(), text.findBlock(end).blockNumber()};
}

void indentLines(QTextDocument &text, LineSpan lines) {
    QTextCursor edit(&text);
    edit.beginEditBlock();
    for (int line = lines.first; line <= lines.last; ++line) {
        edit.setPosition(text.findBlockByNumber(line).position());
        edit.insertText(QString(kTab));
    }
    edit.endEditBlock();
}

void outdentLines(QTextDocument &text, LineSpan lines) {
    QTextCursor edit(&text);
    edit.beginEditBlock();
    for (int line = lines.first; line <= lines.last; ++line) {
        const QTextBlock block = text.findBlockByNumber(line);
        const int removed = int(outdentWidth(block.text()));
        if (removed > 0) {
            edit.setPosition(block.position());
            edit.setPosition(block.position() + removed, QTextCursor::KeepAnchor);
            edit.removeSelectedText();
        }
    }
    edit.endEditBlock();
}

QTextCursor linesSelection(QTextDocument &text, LineSpan lines, bool withLastBreak) {
    const QTextBlock last = text.findBlockByNumber(lines.last);
    const QTextBlock after = last.next();
    QTextCursor selection(&text);
    selection.setPosition(text.findBlockByNumber(lines.first).position());
    selection.setPosition(withLastBreak && after.isValid() ? after.position() : lineEnd(last),
                          QTextCursor::KeepAnchor);
    return selection;
}

} // namespace

void indentSelectedLines(QPlainTextEdit &editor, SelectionEndLine rule, bool withLastBreak) {
    const LineSpan lines = selectedLines(editor.textCursor(), rule);
    indentLines(*editor.document(), lines);
    editor.setTextCursor(linesSelection(*editor.document(), lines, withLastBreak));
}

void outdentSelectedLines(QPlainTextEdit &editor, SelectionEndLine rule) {
    const LineSpan lines = selectedLines(editor.textCursor(), rule);
    outdentLines(*editor.document(), lines);
    editor.setTextCursor(linesSelection(*editor.document(), lines, false));
}

qsizetype outdentWidth(QStringView line) {
    if (line.startsWith(kTab)) {
        return 1;
    }
    qsizetype spaces = 0;
    while (spaces < kTabStopCharacters && spaces < line.size() && line.at(spaces) == kSpace) {
        ++spaces;
    }
    return spaces;
}

QString passedOnIndentation(QStringView line) {
    qsizetype tabs = 0;
    qsizetype spaces = 0;
    for (const QChar leading : line.first(std::min(kIndentScanLimit, line.size()))) {
        if (leading == kTab) {
            ++tabs;
        } else if (leading == kSpace) {
            ++spaces;
        } else {
            break;
        }
    }
    return QString(tabs, kTab) + QString(spaces, kSpace);
}

void repeatIndentationOfLineAbove(QPlainTextEdit &editor) {
    QTextCursor cursor = editor.textCursor();
    const QTextBlock source = editor.document()->findBlock(cursor.selectionStart()).previous();
    if (!source.isValid()) {
        return;
    }
    const QString indentation = passedOnIndentation(source.text());
    if (indentation.isEmpty()) {
        return;
    }
    cursor.joinPreviousEditBlock();
    cursor.insertText(indentation);
    cursor.endEditBlock();
    editor.setTextCursor(cursor);
}

void setViewFont(QPlainTextEdit &editor, const QFont &font) {
    editor.setFont(font);
    editor.setTabStopDistance(kTabStopCharacters * QFontMetricsF(font).horizontalAdvance(kSpace));
}

QFont storedSourceFont() {
    AppSettings defaults;
    IdeServices *ide = IdeServices::instance();
    const AppSettings &settings = ide ? ide->settings() : defaults;
    QFont font(settings.sourceFontName);
    if (settings.sourceFontSize > 0) {
        font.setPointSizeF(settings.sourceFontSize / double(kTenthsPerPoint));
    }
    return font;
}

std::optional<QFont> chooseSourceFont(const QFont &current) {
    const std::optional<QFont> chosen = fw::prompter().chooseFont(current);
    if (!chosen) {
        return std::nullopt;
    }
    if (IdeServices *ide = IdeServices::instance()) {
        ide->settings().sourceFontName = chosen->family();
        ide->settings().sourceFontSize = qRound(chosen->pointSizeF() * kTenthsPerPoint);
        ide->SaveSourceFont();
    }
    return chosen;
}

} // namespace editors
