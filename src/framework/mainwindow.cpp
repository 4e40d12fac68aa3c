#include "framework/mainwindow.h"

#include "framework/application.h"
#include "framework/commandids.h"
#include "framework/doctemplate.h"
#include "framework/document.h"
#include "framework/frame.h"
#include "framework/recentfilelist.h"
#include "framework/resourcetables.h"
#include "framework/view.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QJsonArray>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

namespace fw {

namespace {
constexpr int kIdleUpdateMs = 250;
const char *const kCommandIdProperty = "commandId";
const char *const kRecentPlaceholderProperty = "recentFilePlaceholder";

int commandIdOf(const QAction *action) {
    const QVariant id = action->property(kCommandIdProperty);
    return id.isValid() ? id.toInt() : 0;
}
} // namespace

MainWindow::MainWindow(Application &application, const ResourceTables &tables)
    : m_application(application)
    , m_tables(tables) {
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::onSubWindowActivated);

    qApp->installEventFilter(this);

    m_idleTimer = new QTimer(this);
    m_idleTimer->setInterval(kIdleUpdateMs);
    connect(m_idleTimer, &QTimer::timeout, this, &MainWindow::updateToolBars);
    m_idleTimer->start();

    addCommand(CommandId::WindowNew, [this] {
        if (Document *document = activeDocument(); document && document->docTemplate()) {
            document->docTemplate()->createNewFrame(*document);
        }
    });
    addUpdate(CommandId::WindowNew, [this](CommandUi &ui) {
        Document *document = activeDocument();
        ui.setEnabled(document && document->supportsMultipleViews());
    });
    addCommand(CommandId::WindowCascade, [this] { m_mdiArea->cascadeSubWindows(); });
    addCommand(CommandId::WindowTile, [this] { m_mdiArea->tileSubWindows(); });
    addCommand(CommandId::WindowArrange, [this] { arrangeIcons(); });
    // The keyboard's way between document windows: Ctrl+F6, Ctrl+Shift+F6 and Ctrl+F4.
    addCommand(CommandId::WindowNext, [this] { activateNeighbour(1); });
    addCommand(CommandId::WindowPrevious, [this] { activateNeighbour(-1); });
    addCommand(CommandId::WindowCloseActive, [this] { m_mdiArea->closeActiveSubWindow(); });
    const auto anyWindow = [this](CommandUi &ui) { ui.setEnabled(activeFrame() != nullptr); };
    addUpdate(CommandId::WindowNext, anyWindow);
    addUpdate(CommandId::WindowPrevious, anyWindow);
    addUpdate(CommandId::WindowCloseActive, anyWindow);
}

void MainWindow::activateNeighbour(int step) {
    const std::vector<Frame *> list = frames();
    const auto active = std::find(list.begin(), list.end(), activeFrame());
    if (list.size() < 2 || active == list.end()) {
        return;
    }
    const auto count = static_cast<std::ptrdiff_t>(list.size());
    const std::ptrdiff_t index = (active - list.begin() + step + count) % count;
    list[static_cast<std::size_t>(index)]->activateFrame();
}

void MainWindow::arrangeIcons() {
    // Minimised windows in a row along the bottom of the MDI area.
    const QRect area = m_mdiArea->viewport()->rect();
    int x = 0;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        if (window->isMinimized() && window->isVisible()) {
            const QSize size = window->size();
            if (x > 0 && x + size.width() > area.width()) {
                x = 0;
            }
            window->move(x, area.height() - size.height());
            x += size.width();
        }
    }
}

MainWindow::~MainWindow() {
    // The MDI area outlives this part of the window while Qt tears the rest down; neither it
    // nor the application may report activations to a half-destroyed main window.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    qApp->removeEventFilter(this);
}

std::vector<Frame *> MainWindow::frames() const {
    std::vector<Frame *> list;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        if (auto *frame = qobject_cast<Frame *>(window->widget()); frame && frame->document()) {
            list.push_back(frame);
        }
    }
    return list;
}

Frame *MainWindow::activeFrame() const {
    QMdiSubWindow *window = m_mdiArea->currentSubWindow();
    if (!window || window->isHidden()) {
        return nullptr;
    }
    auto *frame = qobject_cast<Frame *>(window->widget());
    return frame && frame->document() ? frame : nullptr;
}

View *MainWindow::activeView() const {
    Frame *frame = activeFrame();
    return frame ? frame->view() : nullptr;
}

Document *MainWindow::activeDocument() const {
    Frame *frame = activeFrame();
    return frame ? frame->document() : nullptr;
}

void MainWindow::addFrame(Frame *frame, const QRect &geometry) {
    QMdiSubWindow *window = m_mdiArea->addSubWindow(frame);
    window->setAttribute(Qt::WA_DeleteOnClose);
    releaseWindowKeys(window);
    if (geometry.isValid()) {
        window->setGeometry(fitToWorkspace(geometry));
    }
    if (Document *document = frame->document()) {
        updateCaptions(document);
        connect(document, &Document::titleChanged, window,
                [this, document] { updateCaptions(document); });
        connect(document, &Document::modifiedChanged, window,
                [this, document] { updateCaptions(document); });
        connect(document, &Document::viewsChanged, window,
                [this, document] { updateCaptions(document); });
    }
    window->show();
}

QString MainWindow::frameTitle(const Frame &frame) {
    Document *document = frame.document();
    if (!document) {
        return {};
    }
    // Several windows of one document are told apart by a number after the title.
    const std::vector<View *> &views = document->views();
    const auto own = std::find(views.begin(), views.end(), frame.view());
    if (views.size() < 2 || own == views.end()) {
        return document->title();
    }
    return document->title() + QStringLiteral(":%1").arg(own - views.begin() + 1);
}

void MainWindow::releaseWindowKeys(QMdiSubWindow *window) {
    // The window's own system menu would claim the keys that the accelerator table gives to
    // the window commands, and a key claimed twice does nothing.
    QMenu *systemMenu = window->systemMenu();
    if (!systemMenu) {
        return;
    }
    std::vector<QKeySequence> tableKeys;
    for (const Accelerator &accelerator : m_tables.accelerators(ResourceId::MainFrame)) {
        tableKeys.emplace_back(accelerator.key);
    }
    for (QAction *action : systemMenu->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        const auto claimed = [&tableKeys](const QKeySequence &key) {
            return std::find(tableKeys.begin(), tableKeys.end(), key) != tableKeys.end();
        };
        if (keys.removeIf(claimed) > 0) {
            action->setShortcuts(keys);
        }
    }
}

QRect MainWindow::fitToWorkspace(const QRect &geometry) const {
    // Windows placed at start-up come before the main window first shows: lay it out now so
    // that the workspace has its real size.
    if (!isVisible() && layout()) {
        layout()->activate();
    }
    // A window taller than the workspace would show scroll bars from the start and hide its
    // last rows: its bottom stays inside. Where it goes and how wide it is stay as asked.
    const int workspaceHeight = m_mdiArea->contentsRect().height();
    QRect fitted = geometry;
    const int room = workspaceHeight - std::max(0, geometry.top());
    if (room > 0 && fitted.height() > room) {
        fitted.setHeight(room);
    }
    return fitted;
}

void MainWindow::updateCaptions(Document *document) {
    for (View *view : document->views()) {
        Frame *frame = view->frame();
        QMdiSubWindow *window = frame ? frame->subWindow() : nullptr;
        if (!window) {
            continue;
        }
        window->setWindowTitle(frameTitle(*frame) + QStringLiteral("[*]"));
        window->setWindowModified(document->isModified());
    }
}

std::vector<CommandTarget *> MainWindow::commandRoute() const {
    std::vector<CommandTarget *> route;
    if (Frame *frame = activeFrame()) {
        if (View *view = frame->view()) {
            route.push_back(view);
            if (Document *document = view->doc()) {
                route.push_back(document);
            }
        }
        route.push_back(frame);
    }
    route.push_back(const_cast<MainWindow *>(this));
    route.push_back(&m_application);
    return route;
}

CommandUi MainWindow::commandState(int id) const {
    CommandUi ui;
    const std::vector<CommandTarget *> route = commandRoute();
    bool handled = false;
    for (CommandTarget *target : route) {
        handled = handled || target->hasCommandHandler(id);
    }
    for (CommandTarget *target : route) {
        if (target->invokeUpdate(id, ui)) {
            // A rule may enable a command that no target on this route carries out (one of
            // another kind of window): it would do nothing when chosen.
            ui.setEnabled(ui.isEnabled() && handled);
            return ui;
        }
    }
    ui.setEnabled(handled);
    return ui;
}

bool MainWindow::executeCommand(int id) {
    if (!commandState(id).isEnabled()) {
        return false;
    }
    for (CommandTarget *target : commandRoute()) {
        if (target->invokeCommand(id)) {
            QTimer::singleShot(0, this, &MainWindow::updateToolBars);
            return true;
        }
    }
    return false;
}

void MainWindow::installMenu(int menuId) {
    const std::vector<QMenu *> &popups = menus(menuId);
    if (m_currentMenuId != menuId) {
        menuBar()->clear();
        for (QMenu *popup : popups) {
            menuBar()->addMenu(popup);
        }
        m_currentMenuId = menuId;
    }
    enableAccelerators(menuId);
    onInitMenu();
}

const std::vector<QMenu *> &MainWindow::menus(int menuId) {
    auto found = m_menuBars.find(menuId);
    if (found == m_menuBars.end()) {
        found = m_menuBars.emplace(menuId, buildMenuBar(menuId)).first;
    }
    return found->second;
}

std::vector<QMenu *> MainWindow::buildMenuBar(int menuId) {
    std::vector<QMenu *> popups;
    for (const QJsonValue &popup : m_tables.menu(menuId)) {
        const QJsonObject object = popup.toObject();
        popups.push_back(buildPopup(object.value(QLatin1String("title")).toString(),
                                    object.value(QLatin1String("items")).toArray()));
    }
    return popups;
}

QMenu *MainWindow::buildPopup(const QString &title, const QJsonArray &items) {
    auto *menu = new QMenu(title, this);
    for (const QJsonValue &item : items) {
        if (item.isString()) {
            menu->addSeparator();
        } else if (item.isArray()) {
            const QJsonArray pair = item.toArray();
            QAction *action = makeCommandAction(pair.at(0).toInt(), pair.at(1).toString(), menu);
            action->setProperty(kRecentPlaceholderProperty,
                                pair.at(0).toInt() == CommandId::FileRecentFirst);
            menu->addAction(action);
        } else if (item.isObject()) {
            const QJsonObject object = item.toObject();
            menu->addMenu(buildPopup(object.value(QLatin1String("title")).toString(),
                                     object.value(QLatin1String("items")).toArray()));
        }
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        onInitMenu();
        refreshMenu(menu);
    });
    return menu;
}

QAction *MainWindow::makeCommandAction(int id, const QString &text, QObject *parent) {
    auto *action = new QAction(text, parent);
    action->setProperty(kCommandIdProperty, id);
    action->setStatusTip(m_tables.prompt(id));
    connect(action, &QAction::triggered, this, [this, id] { executeCommand(id); });
    return action;
}

QToolBar *MainWindow::createToolBar(int toolbarId, const QString &objectName) {
    auto *bar = new QToolBar(this);
    bar->setObjectName(objectName);
    bar->setIconSize(QSize(16, 15));
    bar->setFloatable(true);
    bar->setMovable(true);
    for (const int id : m_tables.toolBar(toolbarId)) {
        if (id == 0) {
            bar->addSeparator();
            continue;
        }
        QAction *action = makeCommandAction(id, m_tables.tooltip(id), bar);
        action->setIcon(QIcon(QStringLiteral(":/icons/toolbar/%1.png").arg(id)));
        const QString tooltip = m_tables.tooltip(id);
        action->setToolTip(tooltip.isEmpty() ? m_tables.prompt(id) : tooltip);
        bar->addAction(action);
    }
    m_toolBars[toolbarId] = bar;
    return bar;
}

QAction *MainWindow::toolBarAction(int toolbarId, int commandId) const {
    const auto found = m_toolBars.find(toolbarId);
    if (found == m_toolBars.end()) {
        return nullptr;
    }
    for (QAction *action : found->second->actions()) {
        if (commandIdOf(action) == commandId) {
            return action;
        }
    }
    return nullptr;
}

void MainWindow::refreshMenu(QMenu *menu) {
    updateRecentFileItems(menu);
    updateWindowList(menu);
    for (QAction *action : menu->actions()) {
        const int id = commandIdOf(action);
        if (id == 0 || !action->isVisible()) {
            continue;
        }
        const CommandUi ui = commandState(id);
        action->setEnabled(ui.isEnabled());
        action->setCheckable(ui.isChecked() || action->isCheckable());
        action->setChecked(ui.isChecked());
    }
}

void MainWindow::updateToolBars() {
    for (const auto &[toolbarId, bar] : m_toolBars) {
        for (QAction *action : bar->actions()) {
            if (const int id = commandIdOf(action)) {
                action->setEnabled(commandState(id).isEnabled());
            }
        }
    }
}

void MainWindow::updateRecentFileItems(QMenu *menu) {
    QAction *placeholder = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->property(kRecentPlaceholderProperty).toBool()) {
            placeholder = action;
        }
    }
    if (!placeholder) {
        return;
    }
    std::vector<QAction *> &entries = m_dynamicItems[menu];
    for (QAction *old : entries) {
        menu->removeAction(old);
        old->deleteLater();
    }
    entries.clear();

    // "Recent File" stands, disabled, where the list goes while the list is empty.
    const RecentFileList &recent = m_application.recentFiles();
    placeholder->setVisible(recent.entries().isEmpty());
    placeholder->setEnabled(false);
    for (int index = 0; index < recent.entries().size(); ++index) {
        QAction *entry =
            makeCommandAction(CommandId::FileRecentFirst + index, recent.menuText(index), menu);
        menu->insertAction(placeholder, entry);
        entries.push_back(entry);
    }
}

void MainWindow::updateWindowList(QMenu *menu) {
    bool isWindowMenu = false;
    for (QAction *action : menu->actions()) {
        isWindowMenu = isWindowMenu || commandIdOf(action) == CommandId::WindowCascade;
    }
    if (!isWindowMenu) {
        return;
    }
    for (QAction *old : m_dynamicItems[menu]) {
        menu->removeAction(old);
        old->deleteLater();
    }
    m_dynamicItems[menu].clear();
    const std::vector<Frame *> list = frames();
    if (list.empty()) {
        return;
    }
    m_dynamicItems[menu].push_back(menu->addSeparator());
    Frame *active = activeFrame();
    int number = 0;
    for (Frame *frame : list) {
        QString title = frameTitle(*frame);
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *entry = menu->addAction(QStringLiteral("&%1 %2").arg(++number).arg(title));
        entry->setCheckable(true);
        entry->setChecked(frame == active);
        connect(entry, &QAction::triggered, frame, &Frame::activateFrame);
        m_dynamicItems[menu].push_back(entry);
    }
}

void MainWindow::enableAccelerators(int tableId) {
    for (const int id : {static_cast<int>(ResourceId::MainFrame), tableId}) {
        if (m_accelerators.contains(id)) {
            continue;
        }
        std::vector<QShortcut *> &shortcuts = m_accelerators[id];
        for (const Accelerator &accelerator : m_tables.accelerators(id)) {
            auto *shortcut = new QShortcut(QKeySequence(accelerator.key), this);
            shortcut->setContext(Qt::WindowShortcut);
            const int command = accelerator.commandId;
            connect(shortcut, &QShortcut::activated, this,
                    [this, command] { executeCommand(command); });
            shortcuts.push_back(shortcut);
        }
    }
    for (auto &[id, shortcuts] : m_accelerators) {
        const bool active = id == ResourceId::MainFrame || id == tableId;
        for (QShortcut *shortcut : shortcuts) {
            shortcut->setEnabled(active);
        }
    }
}

void MainWindow::addStatusPane(QLabel *label, int stretch) {
    if (m_panes.empty()) {
        statusBar()->addWidget(label, stretch);
    } else {
        statusBar()->addPermanentWidget(label, stretch);
    }
    m_panes.push_back(label);
}

void MainWindow::setPaneText(int pane, const QString &text) {
    if (pane < 0 || pane >= static_cast<int>(m_panes.size())) {
        return;
    }
    m_panes[pane]->setText(text);
    m_panes[pane]->repaint();
}

QString MainWindow::paneText(int pane) const {
    if (pane < 0 || pane >= static_cast<int>(m_panes.size())) {
        return {};
    }
    return m_panes[pane]->text();
}

QRect MainWindow::clientRect() const {
    const int menuHeight = menuWidget() ? menuWidget()->height() : 0;
    return QRect(0, 0, width(), height() - menuHeight);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow() && widget->isModal()) {
            QWidget *owner = widget->parentWidget();
            m_returnWindow = owner ? owner->window() : this;
            QTimer::singleShot(0, this, &MainWindow::returnFocus);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// A closed dialog leaves the keyboard to no window at all when no window manager hands it
// back, and the accelerators of the window it was called from then do nothing until a click.
// So the window the dialog returns to takes the keyboard back, for the widget that had it.
void MainWindow::returnFocus() {
    QWidget *window = m_returnWindow;
    if (!window || !window->isVisible() || window->isMinimized()
        || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        return;
    }
    if (!window->isActiveWindow()) {
        window->activateWindow();
    }
    if (QWidget *previous = window->focusWidget()) {
        previous->setFocus(Qt::ActiveWindowFocusReason);
    } else if (View *view = activeView(); view && window == this) {
        view->widget()->setFocus(Qt::ActiveWindowFocusReason);
    }
}

void MainWindow::onSubWindowActivated(QMdiSubWindow *) {
    Frame *frame = activeFrame();
    int menuId = ResourceId::MainFrame;
    if (frame && frame->document() && frame->document()->docTemplate()) {
        menuId = frame->document()->docTemplate()->resourceId();
    }
    installMenu(menuId);
    updateToolBars();
    Q_EMIT activeFrameChanged(frame);
}

} // namespace fw
