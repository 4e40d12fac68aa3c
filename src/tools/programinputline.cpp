#include "tools/programinputline.h"

#include "framework/prompter.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include <memory>

namespace {

// Every CR LF and lone CR as '\n'.
QString withLineFeeds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace

ProgramInputLine::ProgramInputLine(QWidget *parent)
    : QLineEdit(parent) {
    setMaxLength(kLongestLine);
}

void ProgramInputLine::insertPasted(const QString &pasted) {
    const QString text = withLineFeeds(pasted);
    const qsizetype lastLineEnd = text.lastIndexOf(u'\n');
    const int from = hasSelectedText() ? selectionStart() : cursorPosition();
    const int to = hasSelectedText() ? selectionEnd() : cursorPosition();
    QString before = QLineEdit::text().left(from);
    const QString after = QLineEdit::text().mid(to);
    if (lastLineEnd >= 0) {
        // What the program gets as if each line had been typed and sent with Enter.
        Q_EMIT linesPasted(before + text.left(lastLineEnd));
        before.clear();
    }
    const QString added = text.mid(lastLineEnd + 1);
    const qsizetype room = std::max<qsizetype>(0, kLongestLine - before.size() - after.size());
    const qsizetype kept = std::min(room, added.size());
    setText(before + added.left(kept) + after);
    setCursorPosition(int(before.size() + kept));
    if (kept < added.size()) {
        fw::prompter().message(
            QStringLiteral("The input line holds at most %1 characters: the last %2 of the %3 "
                           "characters pasted were left out.")
                .arg(kLongestLine)
                .arg(added.size() - kept)
                .arg(added.size()));
    }
}

void ProgramInputLine::keyPressEvent(QKeyEvent *event) {
    if (event->matches(QKeySequence::Paste) && !isReadOnly()) {
        pasteFrom(QClipboard::Clipboard);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ProgramInputLine::mouseReleaseEvent(QMouseEvent *event) {
    // The middle button pastes the selection where the system keeps one.
    if (event->button() == Qt::MiddleButton && !isReadOnly()
        && QGuiApplication::clipboard()->supportsSelection()) {
        deselect();
        pasteFrom(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void ProgramInputLine::contextMenuEvent(QContextMenuEvent *event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction *action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            action->disconnect();
            connect(action, &QAction::triggered, this,
                    [this] { pasteFrom(QClipboard::Clipboard); });
        }
    }
    menu->exec(event->globalPos());
}

void ProgramInputLine::dropEvent(QDropEvent *event) {
    if (event->source() == this || isReadOnly() || !event->mimeData()->hasText()) {
        QLineEdit::dropEvent(event);
        return;
    }
    deselect();
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    insertPasted(event->mimeData()->text());
    event->acceptProposedAction();
}

void ProgramInputLine::pasteFrom(QClipboard::Mode mode) {
    const QString text = QGuiApplication::clipboard()->text(mode);
    if (!text.isEmpty()) {
        insertPasted(text);
    }
}
