#include "app/debugwindow.h"

#include "framework/commandids.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

using javaservice::DebugFrame;
using javaservice::DebugStop;
using javaservice::DebugVariable;

constexpr int kObjectRole = Qt::UserRole;
constexpr int kLoadedRole = Qt::UserRole + 1;
constexpr int kChangedRole = Qt::UserRole + 2;

QString frameText(const DebugFrame &frame) {
    const QString place = frame.line > 0 && !frame.sourceName.isEmpty()
                              ? QStringLiteral("%1:%2").arg(frame.sourceName).arg(frame.line)
                              : QStringLiteral("no source");
    return QStringLiteral("%1.%2 (%3)").arg(frame.className, frame.method, place);
}

QString stopText(const DebugStop &stop) {
    if (stop.frames.isEmpty()) {
        return QStringLiteral("Stopped");
    }
    const DebugFrame &frame = stop.frames.at(stop.frame);
    const QString where = QStringLiteral("%1, line %2").arg(frame.sourceName).arg(frame.line);
    switch (stop.reason) {
    case DebugStop::Reason::Exception:
        return QStringLiteral("Exception at %1: %2").arg(where, stop.exception);
    case DebugStop::Reason::Step:
        return QStringLiteral("Stepped to %1").arg(where);
    case DebugStop::Reason::Breakpoint:
        break;
    }
    return QStringLiteral("Stopped at the breakpoint at %1").arg(where);
}

} // namespace

DebugWindow::DebugWindow(QWidget *owner)
    : QDialog(owner, Qt::Tool) {
    setWindowTitle(QStringLiteral("Debug"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_toolBar = new QToolBar(this);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const struct {
        int command;
        const char *text;
        QStyle::StandardPixmap icon;
    } buttons[] = {
        {CommandId::DebugContinue, "Continue", QStyle::SP_MediaPlay},
        {CommandId::StepOver, "Step Over", QStyle::SP_ArrowRight},
        {CommandId::StepInto, "Step Into", QStyle::SP_ArrowDown},
        {CommandId::StepOut, "Step Out", QStyle::SP_ArrowUp},
        {CommandId::StopDebugging, "Stop", QStyle::SP_MediaStop},
    };
    for (const auto &button : buttons) {
        QAction *action =
            m_toolBar->addAction(style()->standardIcon(button.icon), QLatin1String(button.text));
        const int command = button.command;
        connect(action, &QAction::triggered, this,
                [this, command] { emit commandRequested(command); });
        m_actions.insert(command, action);
    }
    layout->addWidget(m_toolBar);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_status);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    m_callStack = new QTreeWidget(splitter);
    m_callStack->setHeaderLabels({QStringLiteral("Call Stack")});
    m_callStack->setRootIsDecorated(false);
    m_variables = new QTreeWidget(splitter);
    m_variables->setHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Value"), QStringLiteral("Type")});
    m_variables->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_variables->setColumnWidth(kNameColumn, 140);
    m_variables->setColumnWidth(kValueColumn, 180);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    layout->addWidget(splitter, 1);

    connect(m_callStack, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item) {
            selectFrame(m_callStack->indexOfTopLevelItem(item));
        }
    });
    connect(m_callStack, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        const int index = m_callStack->indexOfTopLevelItem(item);
        if (index >= 0 && index < m_stop.frames.size()) {
            emit frameActivated(m_stop.frames.at(index));
        }
    });
    connect(m_variables, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        m_expanded.insert(frameKey(m_frame) + pathOf(item));
        expand(item);
    });
    connect(m_variables, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem *item) { m_expanded.remove(frameKey(m_frame) + pathOf(item)); });
    resize(760, 320);
    showEnded();
}

DebugWindow::~DebugWindow() = default;

void DebugWindow::setSession(javaservice::DebugSession *session) {
    if (m_session) {
        m_session->disconnect(this);
    }
    m_session = session;
    m_values.clear();
    m_previousValues.clear();
    m_expanded.clear();
    m_stop = {};
    m_callStack->clear();
    m_variables->clear();
    m_pending.clear();
    if (!session) {
        showEnded();
        return;
    }
    connect(session, &javaservice::DebugSession::stopped, this, &DebugWindow::showStop);
    connect(session, &javaservice::DebugSession::resumed, this, &DebugWindow::showRunning);
    connect(session, &javaservice::DebugSession::ended, this, &DebugWindow::showEnded);
    connect(session, &javaservice::DebugSession::variablesRead, this,
            [this](quint64 id, const QList<DebugVariable> &variables) {
                if (id == m_frameRequest) {
                    m_frameRequest = 0;
                    m_variables->clear();
                    m_pending.clear();
                    fill(m_variables->invisibleRootItem(), QString(), variables);
                    return;
                }
                QTreeWidgetItem *item = m_pending.take(id);
                if (item) {
                    qDeleteAll(item->takeChildren());
                    fill(item, pathOf(item), variables);
                }
            });
    session->isStopped() ? showStop(session->lastStop()) : showRunning();
}

QAction *DebugWindow::toolAction(int commandId) const {
    return m_actions.value(commandId);
}

void DebugWindow::updateActions() {
    const bool stopped = m_session && m_session->isStopped();
    const bool active = m_session && !m_session->hasEnded();
    for (auto action = m_actions.cbegin(); action != m_actions.cend(); ++action) {
        action.value()->setEnabled(action.key() == CommandId::StopDebugging ? active : stopped);
    }
}

void DebugWindow::showStop(const DebugStop &stop) {
    m_previousValues = m_values;
    m_values.clear();
    m_stop = stop;
    m_status->setText(stopText(stop));
    m_callStack->clear();
    for (const DebugFrame &frame : stop.frames) {
        auto *item = new QTreeWidgetItem(m_callStack, {frameText(frame)});
        if (frame.library) {
            item->setForeground(0, palette().color(QPalette::Disabled, QPalette::Text));
        }
    }
    m_frame = -1;
    if (!stop.frames.isEmpty()) {
        m_callStack->setCurrentItem(m_callStack->topLevelItem(stop.frame));
    }
    updateActions();
}

void DebugWindow::showRunning() {
    m_status->setText(QStringLiteral("Running"));
    m_callStack->setEnabled(false);
    m_variables->setEnabled(false);
    m_pending.clear();
    m_frameRequest = 0;
    updateActions();
}

void DebugWindow::showEnded() {
    m_status->setText(QStringLiteral("Not debugging"));
    m_callStack->clear();
    m_variables->clear();
    m_pending.clear();
    m_frameRequest = 0;
    updateActions();
}

void DebugWindow::selectFrame(int index) {
    if (index == m_frame || !m_session || !m_session->isStopped()) {
        return;
    }
    m_frame = index;
    m_callStack->setEnabled(true);
    m_variables->setEnabled(true);
    m_variables->clear();
    m_pending.clear();
    m_frameRequest = m_session->readVariables(index);
}

void DebugWindow::fill(QTreeWidgetItem *parent, const QString &parentPath,
                       const QList<DebugVariable> &variables) {
    const QString key = frameKey(m_frame);
    QList<QTreeWidgetItem *> toExpand;
    for (const DebugVariable &variable : variables) {
        auto *item = new QTreeWidgetItem(parent, {variable.name, variable.value, variable.type});
        const QString path =
            parentPath.isEmpty() ? variable.name : parentPath + u'/' + variable.name;
        m_values.insert(key + path, variable.value);
        const auto before = m_previousValues.constFind(key + path);
        if (before != m_previousValues.cend() && *before != variable.value) {
            item->setData(kNameColumn, kChangedRole, true);
            item->setForeground(kValueColumn, QColor(0xC0, 0x00, 0x00));
            QFont bold = item->font(kValueColumn);
            bold.setBold(true);
            item->setFont(kValueColumn, bold);
        }
        if (variable.kind == QLatin1String("note")) {
            item->setForeground(kNameColumn, palette().color(QPalette::Disabled, QPalette::Text));
        }
        if (variable.isExpandable()) {
            item->setData(kNameColumn, kObjectRole, variable.object);
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            // this is shown open: its fields are what a method works with.
            if (m_expanded.contains(key + path)
                || (parent == m_variables->invisibleRootItem()
                    && variable.kind == QLatin1String("this"))) {
                toExpand.append(item);
            }
        }
    }
    for (QTreeWidgetItem *item : toExpand) {
        item->setExpanded(true);
    }
}

void DebugWindow::expand(QTreeWidgetItem *item) {
    if (item->data(kNameColumn, kLoadedRole).toBool() || !m_session || !m_session->isStopped()) {
        return;
    }
    const qint64 object = item->data(kNameColumn, kObjectRole).toLongLong();
    if (object == 0) {
        return;
    }
    item->setData(kNameColumn, kLoadedRole, true);
    if (const quint64 id = m_session->readVariables(m_frame, object); id != 0) {
        m_pending.insert(id, item);
    }
}

QString DebugWindow::pathOf(const QTreeWidgetItem *item) const {
    QStringList names;
    for (; item; item = item->parent()) {
        names.prepend(item->text(kNameColumn));
    }
    return names.join(u'/');
}

QString DebugWindow::frameKey(int index) const {
    if (index < 0 || index >= m_stop.frames.size()) {
        return QString();
    }
    // Counted from the bottom of the stack, so that a frame keeps its key while others come
    // and go above it.
    const DebugFrame &frame = m_stop.frames.at(index);
    return QStringLiteral("%1:%2.%3#")
        .arg(m_stop.frames.size() - index)
        .arg(frame.className, frame.method);
}

QTreeWidgetItem *DebugWindow::variableItem(const QString &path) const {
    QTreeWidgetItem *item = m_variables->invisibleRootItem();
    for (const QString &name : path.split(u'/')) {
        QTreeWidgetItem *found = nullptr;
        for (int index = 0; index < item->childCount() && !found; ++index) {
            if (item->child(index)->text(kNameColumn) == name) {
                found = item->child(index);
            }
        }
        if (!found) {
            return nullptr;
        }
        item = found;
    }
    return item;
}

bool DebugWindow::isMarkedChanged(const QTreeWidgetItem *item) {
    return item && item->data(kNameColumn, kChangedRole).toBool();
}
