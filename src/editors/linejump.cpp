#include "editors/linejump.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>
#include <vector>

namespace editors {

namespace {

// The highlight's colour: a pale yellow that the black text and the colours of the classes
// read well on.
const QColor kJumpHighlight(0xFF, 0xF5, 0xB0);
const char *const kWatchingProperty = "jumpHighlightWatched";
// Room kept between a moved covering window and the line it uncovers, in pixels.
constexpr int kWindowClearance = 8;

int firstNonBlank(const QString &text) {
    const auto found = std::find_if(text.begin(), text.end(), [](QChar character) {
        return character != QLatin1Char(' ') && character != QLatin1Char('\t');
    });
    return int(found - text.begin());
}

void setHighlight(QPlainTextEdit &editor, const QTextBlock &block) {
    QList<QTextEdit::ExtraSelection> selections;
    if (block.isValid()) {
        QTextEdit::ExtraSelection line;
        line.cursor = QTextCursor(block);
        line.format.setBackground(kJumpHighlight);
        line.format.setProperty(QTextFormat::FullWidthSelection, true);
        selections.append(line);
    }
    editor.setExtraSelections(selections);
}

// The highlight goes once the caret is on another line.
void watchCaret(QPlainTextEdit &editor) {
    if (editor.property(kWatchingProperty).toBool()) {
        return;
    }
    editor.setProperty(kWatchingProperty, true);
    QPlainTextEdit *watched = &editor;
    QObject::connect(watched, &QPlainTextEdit::cursorPositionChanged, watched, [watched] {
        const int line = highlightedJumpLine(*watched);
        if (line >= 0 && line != watched->textCursor().blockNumber()) {
            setHighlight(*watched, QTextBlock());
        }
    });
}

// Where the windows that float above the editor's main window (the output window, the Find
// dialog) cover its text area, on the screen.
std::vector<QWidget *> coveringWindows(const QPlainTextEdit &editor, const QRect &area) {
    std::vector<QWidget *> windows;
    const QWidget *main = editor.window();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window == main || !window->isVisible() || window->isMinimized()
            || window->parentWidget() == nullptr || window->parentWidget()->window() != main) {
            continue;
        }
        if (window->frameGeometry().intersects(area)) {
            windows.push_back(window);
        }
    }
    return windows;
}

// The caret's line across the whole text area, on the screen.
QRect lineOnScreen(const QPlainTextEdit &editor) {
    const QRect caret = editor.cursorRect();
    const QWidget *viewport = editor.viewport();
    return QRect(viewport->mapToGlobal(QPoint(0, caret.top())),
                 QSize(viewport->width(), caret.height()));
}

bool isCovered(const QPlainTextEdit &editor) {
    const QRect line = lineOnScreen(editor);
    return !coveringWindows(editor, line).empty();
}

// Scrolls so that the caret's line shows `rowsAbove` rows below the top of the text area.
void scrollLineTo(QPlainTextEdit &editor, int rowsAbove) {
    QScrollBar *bar = editor.verticalScrollBar();
    const int line = editor.textCursor().blockNumber();
    bar->setValue(std::clamp(line - rowsAbove, bar->minimum(), bar->maximum()));
}

// Keeps the caret's line out from under the windows that float over the text: scrolls it into
// the largest uncovered band of rows above or below them, or, when no scrolling can uncover it,
// moves the windows just off the line.
void revealLine(QPlainTextEdit &editor) {
    editor.ensureCursorVisible();
    if (!isCovered(editor)) {
        return;
    }
    QWidget *viewport = editor.viewport();
    const QRect area(viewport->mapToGlobal(QPoint(0, 0)), viewport->size());
    int coveredTop = area.bottom();
    int coveredBottom = area.top();
    for (const QWidget *window : coveringWindows(editor, area)) {
        const QRect covered = window->frameGeometry().intersected(area);
        coveredTop = std::min(coveredTop, covered.top());
        coveredBottom = std::max(coveredBottom, covered.bottom());
    }
    const int rowHeight = std::max(1, editor.cursorRect().height());
    struct Band {
        int top;
        int rows;
    };
    std::vector<Band> bands{
        {0, (coveredTop - area.top()) / rowHeight},
        {coveredBottom + 1 - area.top(), (area.bottom() - coveredBottom) / rowHeight}};
    std::sort(bands.begin(), bands.end(), [](Band a, Band b) { return a.rows > b.rows; });
    for (const Band &band : bands) {
        if (band.rows < 1) {
            continue;
        }
        scrollLineTo(editor, band.top / rowHeight + band.rows / 2);
        if (!isCovered(editor)) {
            return;
        }
    }
    const QRect line = lineOnScreen(editor);
    const QScreen *screen = editor.screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    for (QWidget *window : coveringWindows(editor, line)) {
        const QRect frame = window->frameGeometry();
        const bool fitsBelow =
            room.isNull() || line.bottom() + kWindowClearance + frame.height() <= room.bottom();
        const int top = fitsBelow ? line.bottom() + kWindowClearance
                                  : line.top() - kWindowClearance - frame.height();
        window->move(window->x(), window->y() + top - frame.top());
    }
}

} // namespace

void jumpToLine(QPlainTextEdit &editor, int line, int column) {
    const QTextDocument &text = *editor.document();
    const QTextBlock block = text.findBlockByNumber(std::clamp(line, 0, text.blockCount() - 1));
    const int length = block.length() - 1;
    const int offset =
        column == kFirstNonBlank ? firstNonBlank(block.text()) : std::clamp(column, 0, length);
    QTextCursor caret(block);
    caret.setPosition(block.position() + offset);
    editor.setTextCursor(caret);
    setHighlight(editor, block);
    watchCaret(editor);
    revealLine(editor);
}

void clearJumpHighlight(QPlainTextEdit &editor, int line) {
    if (line >= 0 && highlightedJumpLine(editor) == line) {
        setHighlight(editor, QTextBlock());
    }
}

int highlightedJumpLine(const QPlainTextEdit &editor) {
    const QList<QTextEdit::ExtraSelection> selections = editor.extraSelections();
    return selections.isEmpty() ? -1 : selections.first().cursor.blockNumber();
}

} // namespace editors
