#include "tools/coutputedit.h"

#include "framework/texteditcommands.h"
#include "tools/compilermessagecolours.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QResizeEvent>
#include <QTextBlock>

#include <memory>

COutputEdit::COutputEdit(QWidget *parent)
    : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A read-only edit still shows its caret, so that a line can be picked with the keyboard.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont shown = font();
    shown.setStyleStrategy(QFont::PreferNoShaping);
    setFont(shown);
}

COutputEdit::~COutputEdit() = default;

void COutputEdit::setWindowMenuActions(const QList<QAction *> &actions) {
    m_windowMenuActions = actions;
}

QMenu *COutputEdit::createContextMenu() {
    QMenu *menu = createStandardContextMenu();
    if (!m_windowMenuActions.isEmpty()) {
        menu->addSeparator();
        menu->addActions(m_windowMenuActions);
    }
    return menu;
}

int COutputEdit::selectionLine() const {
    return document()->findBlock(textCursor().selectionStart()).blockNumber();
}

void COutputEdit::mouseDoubleClickEvent(QMouseEvent *event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    Q_EMIT lineDoubleClicked(selectionLine());
}

void COutputEdit::contextMenuEvent(QContextMenuEvent *event) {
    const std::unique_ptr<QMenu> menu(createContextMenu());
    menu->exec(event->globalPos());
}

void COutputEdit::changeEvent(QEvent *event) {
    // Tool output needs no shaping (no ligatures, no joined scripts): without it a long line is
    // laid out many times faster, so that a program printing a line of a megabyte does not
    // freeze the window.
    if (event->type() == QEvent::FontChange && !(font().styleStrategy() & QFont::PreferNoShaping)) {
        QFont shown = font();
        shown.setStyleStrategy(QFont::PreferNoShaping);
        setFont(shown);
        return;
    }
    QPlainTextEdit::changeEvent(event);
}

void COutputEdit::resizeEvent(QResizeEvent *event) {
    QResizeEvent passed = fw::widthChangeForQt(*this, *event);
    QPlainTextEdit::resizeEvent(&passed);
}

void COutputEdit::paintEvent(QPaintEvent *event) {
    CompilerMessageColours::colourVisibleLines(*this);
    QPlainTextEdit::paintEvent(event);
}
