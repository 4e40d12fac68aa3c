#include "editors/linenumbermargin.h"

#include "services/appsettings.h"
#include "services/ideservices.h"

#include <QEvent>
#include <QList>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>

#include <algorithm>

namespace {

constexpr int kPadding = 4;
constexpr int kLeastDigits = 2;

// Every margin alive, so that the switch reaches them all.
QList<QPointer<LineNumberMargin>> &allMargins() {
    static QList<QPointer<LineNumberMargin>> margins;
    return margins;
}

// The switch is the setting itself; without settings the margins stay hidden.
bool switchState() {
    IdeServices *services = IdeServices::instance();
    return services && services->settings().showLineNumbers != 0;
}

} // namespace

LineNumberMargin *LineNumberMargin::attach(QPlainTextEdit *edit, MarginSetter setMargin) {
    auto *margin = new LineNumberMargin(edit, std::move(setMargin));
    allMargins().removeAll(nullptr);
    allMargins().append(margin);
    margin->applySwitch();
    return margin;
}

void LineNumberMargin::showEverywhere(bool shown) {
    if (IdeServices *services = IdeServices::instance()) {
        services->settings().showLineNumbers = shown ? 1 : 0;
    }
    allMargins().removeAll(nullptr);
    for (const QPointer<LineNumberMargin> &margin : std::as_const(allMargins())) {
        margin->applySwitch();
    }
}

bool LineNumberMargin::shownEverywhere() {
    return switchState();
}

LineNumberMargin::LineNumberMargin(QPlainTextEdit *edit, MarginSetter setMargin)
    : QWidget(edit)
    , m_edit(edit)
    , m_setMargin(std::move(setMargin)) {
    setFont(edit->font());
    edit->installEventFilter(this);
    connect(edit, &QPlainTextEdit::blockCountChanged, this, [this] {
        if (!isHidden()) {
            m_setMargin(neededWidth());
            place();
        }
    });
    connect(edit, &QPlainTextEdit::updateRequest, this, [this](const QRect &rect, int dy) {
        if (dy != 0) {
            scroll(0, dy);
        } else {
            update(0, rect.y(), width(), rect.height());
        }
    });
}

int LineNumberMargin::neededWidth() const {
    const int digits =
        std::max(kLeastDigits, static_cast<int>(QString::number(m_edit->blockCount()).size()));
    return 2 * kPadding + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

QList<int> LineNumberMargin::visibleNumbers() const {
    QList<int> numbers;
    forEachVisibleLine([&numbers](int number, int, int) { numbers.append(number); });
    return numbers;
}

void LineNumberMargin::applySwitch() {
    const bool shown = switchState();
    setVisible(shown);
    m_setMargin(shown ? neededWidth() : 0);
    place();
}

void LineNumberMargin::place() {
    const QRect area = m_edit->contentsRect();
    setGeometry(area.left(), area.top(), isHidden() ? 0 : neededWidth(), area.height());
}

void LineNumberMargin::forEachVisibleLine(const std::function<void(int, int, int)> &visit) const {
    const QWidget *viewport = m_edit->viewport();
    QTextBlock block = m_edit->cursorForPosition(QPoint(0, 0)).block();
    while (block.isValid()) {
        if (block.isVisible()) {
            const QRect caret = m_edit->cursorRect(QTextCursor(block));
            if (caret.top() >= viewport->height()) {
                break;
            }
            if (caret.bottom() >= 0) {
                // A viewport with a top margin starts below the strip's top.
                visit(block.blockNumber() + 1, caret.top() + viewport->y() - y(), caret.height());
            }
        }
        block = block.next();
    }
}

void LineNumberMargin::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().window());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    // The viewport starts below the edit's frame, as the margin does.
    const int width = this->width() - kPadding;
    forEachVisibleLine([&](int number, int top, int height) {
        painter.drawText(0, top, width, height, Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(number));
    });
}

bool LineNumberMargin::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_edit) {
        if (event->type() == QEvent::Resize) {
            place();
        } else if (event->type() == QEvent::FontChange) {
            setFont(m_edit->font());
            if (!isHidden()) {
                m_setMargin(neededWidth());
                place();
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
