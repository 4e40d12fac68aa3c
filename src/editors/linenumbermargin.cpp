#include "editors/linenumbermargin.h"

#include "editors/breakpointmarks.h"
#include "editors/linemarks.h"
#include "services/appsettings.h"
#include "services/ideservices.h"

#include <QEvent>
#include <QHelpEvent>
#include <QList>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPolygonF>
#include <QTextBlock>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr int kPadding = 4;
constexpr int kLeastDigits = 2;
constexpr int kLeastMarkSize = 6;

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

const QColor LineNumberMargin::kErrorMarkColour(0xD0, 0x10, 0x10);
const QColor LineNumberMargin::kWarningMarkColour(0xE8, 0xA0, 0x00);
const QColor LineNumberMargin::kBreakpointColour(0xC8, 0x18, 0x18);
const QColor LineNumberMargin::kExecutionColour(0xF0, 0xC8, 0x00);

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

void LineNumberMargin::setLineMarks(LineMarks *marks) {
    if (m_marks) {
        m_marks->disconnect(this);
    }
    m_marks = marks;
    if (marks) {
        connect(marks, &LineMarks::changed, this, [this] {
            applySwitch();
            update();
        });
    }
    applySwitch();
}

void LineNumberMargin::setBreakpoints(BreakpointMarks *breakpoints) {
    if (m_breakpoints) {
        m_breakpoints->disconnect(this);
    }
    m_breakpoints = breakpoints;
    if (breakpoints) {
        connect(breakpoints, &BreakpointMarks::changed, this, [this] {
            applySwitch();
            update();
        });
    }
    applySwitch();
}

// A window that can hold breakpoints (a Java source window) keeps both strips at all times: a
// click beside any line sets the first breakpoint, and the text never moves sideways when marks
// come and go.
int LineNumberMargin::breakpointStripWidth() const {
    if (!m_breakpoints) {
        return 0;
    }
    return std::max(kLeastMarkSize, fontMetrics().height() * 2 / 3) + kPadding;
}

QList<LineNumberMargin::ShownBreakpoint> LineNumberMargin::visibleBreakpoints() const {
    QList<ShownBreakpoint> shown;
    const int strip = breakpointStripWidth() - kPadding;
    if (strip <= 0) {
        return shown;
    }
    const QList<int> lines = m_breakpoints->lines();
    const int execution = m_breakpoints->executionLine();
    forEachVisibleLine([&](int number, int top, int height) {
        const bool breakpoint = lines.contains(number - 1);
        if (!breakpoint && execution != number - 1) {
            return;
        }
        const int size = std::max(2, std::min(strip, height - 2));
        shown.append(
            {number, breakpoint, execution == number - 1,
             QRect((strip - size) / 2 + kPadding / 2, top + (height - size) / 2, size, size)});
    });
    return shown;
}

int LineNumberMargin::lineAt(int y) const {
    int line = 0;
    forEachVisibleLine([&](int number, int top, int height) {
        if (y >= top && y < top + height) {
            line = number;
        }
    });
    return line;
}

void LineNumberMargin::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || !m_breakpoints) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (const int line = lineAt(event->position().toPoint().y()); line > 0) {
        m_breakpoints->toggle(line - 1);
    }
    event->accept();
}

bool LineNumberMargin::numbersShown() const {
    return switchState();
}

int LineNumberMargin::markStripWidth() const {
    if (!m_breakpoints && (!m_marks || m_marks->isEmpty())) {
        return 0;
    }
    return std::max(kLeastMarkSize, fontMetrics().height() * 2 / 3) + kPadding;
}

int LineNumberMargin::neededWidth() const {
    int width = breakpointStripWidth() + markStripWidth();
    if (numbersShown()) {
        const int digits =
            std::max(kLeastDigits, static_cast<int>(QString::number(m_edit->blockCount()).size()));
        width += 2 * kPadding + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
    }
    return width;
}

QList<int> LineNumberMargin::visibleNumbers() const {
    QList<int> numbers;
    forEachVisibleLine([&numbers](int number, int, int) { numbers.append(number); });
    return numbers;
}

QList<LineNumberMargin::ShownMark> LineNumberMargin::visibleMarks() const {
    QList<ShownMark> shown;
    if (!m_marks || m_marks->isEmpty()) {
        return shown;
    }
    const QMap<int, LineMarks::MarkedLine> marked = m_marks->markedLines();
    const int strip = markStripWidth() - kPadding;
    const int left = breakpointStripWidth();
    forEachVisibleLine([&](int number, int top, int height) {
        const auto found = marked.constFind(number - 1);
        if (found == marked.cend()) {
            return;
        }
        const int size = std::max(2, std::min(strip, height - 2));
        shown.append({number, found->kind,
                      QRect(left + (strip - size) / 2 + kPadding / 2, top + (height - size) / 2,
                            size, size)});
    });
    return shown;
}

QString LineNumberMargin::toolTipAt(int y, QRect *row) const {
    if (!m_marks || m_marks->isEmpty()) {
        return {};
    }
    const QMap<int, LineMarks::MarkedLine> marked = m_marks->markedLines();
    QString text;
    forEachVisibleLine([&](int number, int top, int height) {
        if (y >= top && y < top + height) {
            const auto found = marked.constFind(number - 1);
            if (found != marked.cend()) {
                text = found->messages.join(QLatin1Char('\n'));
                if (row) {
                    *row = QRect(0, top, width(), height);
                }
            }
        }
    });
    return text;
}

void LineNumberMargin::applySwitch() {
    const int width = neededWidth();
    setVisible(width > 0);
    m_setMargin(width);
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
    if (numbersShown()) {
        painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        // The viewport starts below the edit's frame, as the margin does.
        const int left = breakpointStripWidth() + markStripWidth();
        const int width = this->width() - kPadding - left;
        forEachVisibleLine([&](int number, int top, int height) {
            painter.drawText(left, top, width, height, Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(number));
        });
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (const ShownMark &mark : visibleMarks()) {
        const QRectF area(mark.area);
        if (mark.kind == CompilerMessageKind::Error) {
            // A square with a white cross: nothing like a breakpoint's round dot.
            painter.setBrush(kErrorMarkColour);
            painter.drawRoundedRect(area, area.width() / 6, area.height() / 6);
            const qreal inset = area.width() / 4;
            const QRectF cross = area.adjusted(inset, inset, -inset, -inset);
            painter.setPen(
                QPen(Qt::white, std::max(1.5, area.width() / 7), Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(cross.topLeft(), cross.bottomRight());
            painter.drawLine(cross.topRight(), cross.bottomLeft());
            painter.setPen(Qt::NoPen);
        } else {
            painter.setBrush(kWarningMarkColour);
            painter.drawPolygon(QPolygonF{QPointF(area.center().x(), area.top()),
                                          area.bottomRight(), area.bottomLeft()});
        }
    }
    for (const ShownBreakpoint &shown : visibleBreakpoints()) {
        const QRectF area(shown.area);
        if (shown.breakpoint) {
            painter.setPen(QPen(kBreakpointColour.darker(140), 1));
            painter.setBrush(kBreakpointColour);
            painter.drawEllipse(area.adjusted(0.5, 0.5, -0.5, -0.5));
        }
        if (shown.execution) {
            // An arrow pointing at the line the program stopped at; over a breakpoint it is
            // smaller, so that the dot's red still shows around it.
            const qreal inset = shown.breakpoint ? area.width() / 5 : 0;
            const QRectF arrow = area.adjusted(inset, inset, -inset, -inset);
            painter.setPen(QPen(kExecutionColour.darker(160), 1));
            painter.setBrush(kExecutionColour);
            const qreal middle = arrow.center().y();
            painter.drawPolygon(QPolygonF{QPointF(arrow.left(), middle - arrow.height() / 4),
                                          QPointF(arrow.center().x(), middle - arrow.height() / 4),
                                          QPointF(arrow.center().x(), arrow.top()),
                                          QPointF(arrow.right(), middle),
                                          QPointF(arrow.center().x(), arrow.bottom()),
                                          QPointF(arrow.center().x(), middle + arrow.height() / 4),
                                          QPointF(arrow.left(), middle + arrow.height() / 4)});
        }
        painter.setPen(Qt::NoPen);
    }
}

bool LineNumberMargin::event(QEvent *event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto *help = static_cast<QHelpEvent *>(event);
    QRect row;
    const QString text = toolTipAt(help->pos().y(), &row);
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // Monospaced, so that the caret javac puts under the source line points where it should.
    QToolTip::showText(help->globalPos(),
                       QStringLiteral("<pre>") + text.toHtmlEscaped() + QStringLiteral("</pre>"),
                       this, row);
    return true;
}

bool LineNumberMargin::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_edit) {
        if (event->type() == QEvent::Resize) {
            place();
        } else if (event->type() == QEvent::FontChange) {
            setFont(m_edit->font());
            applySwitch();
        }
    }
    return QWidget::eventFilter(watched, event);
}
