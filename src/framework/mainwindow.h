#pragma once

#include "framework/commandtarget.h"

#include <QMainWindow>
#include <QPointer>

#include <map>
#include <vector>

class QAction;
class QJsonArray;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QShortcut;
class QTimer;
class QToolBar;

namespace fw {

class Application;
class Document;
class Frame;
class ResourceTables;
class View;

// The multiple-document main window: an MDI area of frames, menu bars, toolbars and
// accelerator tables built from the resource tables, status-bar panes, and command routing.
//
// A command goes to the first of these that handles it: the active view, its document, its
// frame, this window, the application. Its state (enabled, checked) comes from the first of
// them with an update handler; with none, it is enabled when some target handles it and
// disabled otherwise. A command that no target on the route handles is disabled whatever its
// update handler says. Menus are refreshed before they show, toolbars when the application is
// idle, and an accelerator or button of a disabled command does nothing.
class MainWindow : public QMainWindow, public CommandTarget {
    Q_OBJECT

public:
    MainWindow(Application &application, const ResourceTables &tables);
    ~MainWindow() override;

    Application &application() const { return m_application; }
    const ResourceTables &tables() const { return m_tables; }

    QMdiArea *mdiArea() const { return m_mdiArea; }
    std::vector<Frame *> frames() const;
    Frame *activeFrame() const;
    View *activeView() const;
    Document *activeDocument() const;
    // Puts a frame into a new MDI window, placed at geometry unless that is empty.
    void addFrame(Frame *frame, const QRect &geometry);

    std::vector<CommandTarget *> commandRoute() const;
    CommandUi commandState(int id) const;
    // Runs the command if it is enabled and handled; false otherwise.
    bool executeCommand(int id);

    // Menu bars and accelerators: the main ones (resource 128) while no document window is
    // active, else those of the active frame's document template. Accelerators of the main
    // table stay active in every window.
    void installMenu(int menuId);
    int currentMenuId() const { return m_currentMenuId; }
    // The popups of a menu bar, in order (built on first use).
    const std::vector<QMenu *> &menus(int menuId);
    QToolBar *createToolBar(int toolbarId, const QString &objectName);
    QAction *toolBarAction(int toolbarId, int commandId) const;
    void refreshMenu(QMenu *menu);
    void updateToolBars();

    void addStatusPane(QLabel *label, int stretch);
    void setPaneText(int pane, const QString &text);
    QString paneText(int pane) const;

    // The client area below the menu bar, in the window's own coordinates.
    QRect clientRect() const;
    // The part of the client area that document windows are sized from: by default the whole
    // client area.
    virtual QRect freeClientArea() const { return clientRect(); }

Q_SIGNALS:
    void activeFrameChanged(fw::Frame *frame);

protected:
    // Watches the application's modal dialogs close (see returnFocus).
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Called whenever a menu bar is about to be used: after it is installed and before any of
    // its popups shows.
    virtual void onInitMenu() {}
    // A menu or toolbar action that runs the command and takes its prompt from the strings.
    QAction *makeCommandAction(int id, const QString &text, QObject *parent);

private:
    std::vector<QMenu *> buildMenuBar(int menuId);
    QMenu *buildPopup(const QString &title, const QJsonArray &items);
    void onSubWindowActivated(QMdiSubWindow *subWindow);
    void updateRecentFileItems(QMenu *menu);
    void updateWindowList(QMenu *menu);
    void enableAccelerators(int tableId);
    void arrangeIcons();
    void updateCaptions(Document *document);
    // Takes from a document window's system menu the keys of the main accelerator table.
    void releaseWindowKeys(QMdiSubWindow *window);
    // The initial geometry of a document window, its height cut to fit the workspace.
    QRect fitToWorkspace(const QRect &geometry) const;
    // Activates the document window step places after the active one, wrapping round.
    void activateNeighbour(int step);
    // The title a frame's window shows: its document's, numbered when it has several windows.
    static QString frameTitle(const Frame &frame);
    void returnFocus();

    Application &m_application;
    const ResourceTables &m_tables;
    QMdiArea *m_mdiArea = nullptr;
    QTimer *m_idleTimer = nullptr;
    int m_currentMenuId = 0;
    std::map<int, std::vector<QMenu *>> m_menuBars;
    std::map<int, std::vector<QShortcut *>> m_accelerators;
    std::map<int, QToolBar *> m_toolBars;
    std::vector<QLabel *> m_panes;
    std::map<QMenu *, std::vector<QAction *>> m_dynamicItems;
    // The window that the modal dialog closed last returns the keyboard to.
    QPointer<QWidget> m_returnWindow;
};

} // namespace fw
