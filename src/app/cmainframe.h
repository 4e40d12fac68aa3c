#pragma once

#include "framework/mainwindow.h"

#include <QMenu>
#include <QPointer>

class CKetrelApp;

// Tarvo's main window: the file and build toolbars, the five status-bar panes (message, caret
// line, caps lock, num lock, scroll lock), the toolbar layout kept in the settings, the window
// state written when it closes, and "Tip of the Day..." at the top of every Help menu.
class CMainFrame : public fw::MainWindow {
    Q_OBJECT

public:
    enum Pane { MessagePane = 0, LinePane = 1, CapsLockPane, NumLockPane, ScrollLockPane };
    static constexpr int kLinePaneWidth = 86;

    CMainFrame(CKetrelApp &application, const fw::ResourceTables &tables);
    ~CMainFrame() override;

    QToolBar *fileToolBar() const { return m_fileToolBar; }
    QToolBar *buildToolBar() const { return m_buildToolBar; }
    // The client area less the toolbars and the status bar, as source windows are sized from.
    QRect freeClientArea() const override;
    // The Help popup that holds "Tip of the Day...", once a menu bar has been shown.
    QMenu *helpPopup() const { return m_helpPopup; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void onInitMenu() override;

private:
    // Asks, while a captured run lasts, whether to end it; false when the user keeps it.
    bool endRunBeforeClosing();
    void createStatusBar();
    void registerCommands();

    CKetrelApp &m_app;
    QToolBar *m_fileToolBar = nullptr;
    QToolBar *m_buildToolBar = nullptr;
    QPointer<QMenu> m_helpPopup;
};
