#include "app/cmainframe.h"

#include "app/cketrelapp.h"
#include "app/projectwindows.h"
#include "editors/linenumbermargin.h"
#include "framework/commandids.h"
#include "framework/filedropfilter.h"
#include "framework/frame.h"
#include "framework/profile.h"
#include "framework/recentfilelist.h"
#include "framework/resourcetables.h"
#include "project/cjavaprojectdoc.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processrunner.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {
const QString kBarStateSection = QStringLiteral("MainFrameBarState");
const QString kBarStateKey = QStringLiteral("State");
const QString kSettingsSection = QStringLiteral("SETTINGS");
const QString kWindowStateKey = QStringLiteral("WINDOWSTATE");
} // namespace

CMainFrame::CMainFrame(CKetrelApp &application, const fw::ResourceTables &tables)
    : fw::MainWindow(application, tables)
    , m_app(application) {
    setWindowTitle(tables.string(ResourceId::AppTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tarvo.png")));
    resize(1024, 720);

    m_buildToolBar = createToolBar(ResourceId::BuildToolbar, QStringLiteral("BuildToolBar"));
    m_fileToolBar = createToolBar(ResourceId::MainFrame, QStringLiteral("FileToolBar"));
    addToolBar(Qt::TopToolBarArea, m_fileToolBar);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_buildToolBar);
    createStatusBar();
    restoreState(application.profile().readBytes(kBarStateSection, kBarStateKey));

    registerCommands();
    installMenu(ResourceId::MainFrame);
    // The line pane speaks of the active source window only; that window shows its own line
    // when it takes the focus.
    connect(this, &fw::MainWindow::activeFrameChanged, this,
            [this] { setPaneText(LinePane, QString()); });
    // Files dropped on the window open as if chosen in File > Open, projects as projects.
    new fw::FileDropFilter(this, [this](const QStringList &paths) {
        for (const QString &path : paths) {
            m_app.openDocumentFile(path);
        }
    });
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::createStatusBar() {
    auto *message = new QLabel(QStringLiteral("Ready"));
    message->setMinimumWidth(1);
    addStatusPane(message, 1);
    auto *line = new QLabel;
    line->setFixedWidth(kLinePaneWidth);
    line->setFrameShape(QFrame::StyledPanel);
    addStatusPane(line, 0);
    // Qt does not report the lock keys' state on every platform; the panes name the keys and
    // stay greyed.
    for (const char *name : {"CAP", "NUM", "SCRL"}) {
        auto *indicator = new QLabel(QString::fromLatin1(name));
        indicator->setFrameShape(QFrame::StyledPanel);
        indicator->setEnabled(false);
        addStatusPane(indicator, 0);
    }
}

void CMainFrame::registerCommands() {
    // The View menu's "Toolbar" shows and hides both toolbars together.
    addCommand(CommandId::ViewToolbar, [this] {
        const bool show = !m_fileToolBar->isVisible();
        m_fileToolBar->setVisible(show);
        m_buildToolBar->setVisible(show);
    });
    addUpdate(CommandId::ViewToolbar,
              [this](fw::CommandUi &ui) { ui.setChecked(m_fileToolBar->isVisible()); });
    addCommand(CommandId::ViewStatusBar,
               [this] { statusBar()->setVisible(!statusBar()->isVisible()); });
    addUpdate(CommandId::ViewStatusBar,
              [this](fw::CommandUi &ui) { ui.setChecked(statusBar()->isVisible()); });
    // "Line Numbers" turns the margins of all source and HTML windows on or off and is kept.
    addCommand(CommandId::ViewLineNumbers, [this] {
        LineNumberMargin::showEverywhere(!LineNumberMargin::shownEverywhere());
        m_app.settings().SaveLineNumbers(m_app.profile());
    });
    addUpdate(CommandId::ViewLineNumbers,
              [](fw::CommandUi &ui) { ui.setChecked(LineNumberMargin::shownEverywhere()); });
}

QRect CMainFrame::freeClientArea() const {
    // Windows opened at start-up are placed before the main window first shows: lay the bars
    // out now so that their heights are real.
    if (!isVisible() && layout()) {
        layout()->activate();
    }
    QRect area = clientRect();
    int height = area.height() - m_fileToolBar->height() - statusBar()->height();
    if (m_buildToolBar->geometry().top() != m_fileToolBar->geometry().top()) {
        height -= m_buildToolBar->height();
    }
    return QRect(0, 0, area.width(), height);
}

bool CMainFrame::endRunBeforeClosing() {
    if (!IsProcessRunning()) {
        return true;
    }
    // The project's output window asks, as its own close and Stop do; without a project a run
    // may still go on (its project was closed), and the same question is asked.
    if (CJavaProjectDoc *project = m_app.GetProjectDoc()) {
        return project->m_pOutputWnd->StopRun();
    }
    return CProcessOutputDialog().StopRun();
}

void CMainFrame::closeEvent(QCloseEvent *event) {
    fw::Profile &profile = m_app.profile();
    profile.writeInt(kSettingsSection, kWindowStateKey, isMaximized() ? 1 : 0);
    if (!m_app.GetProjectDoc()) {
        m_app.SaveLastOpenAndRecent(QString());
    }
    CJavaProjectDoc *project = m_app.GetProjectDoc();
    projectwindows::save(profile, project ? project->pathName() : QString(),
                         projectwindows::openFiles(*this));
    profile.writeBytes(kBarStateSection, kBarStateKey, saveState());
    m_app.recentFiles().save();
    profile.sync();

    // Unsaved files are asked about before a running program is, so that a Cancel there leaves
    // a running or debugged program as it was. A captured program ends with Tarvo: the user
    // says whether now, or Tarvo stays open.
    if (!m_app.saveAllModified() || !endRunBeforeClosing()) {
        event->ignore();
        return;
    }
    m_app.closeAllDocuments();
    event->accept();
}

void CMainFrame::onInitMenu() {
    const QString helpTitle = tables().string(ResourceId::HelpMenuTitle);
    const QString tipText = tables().string(ResourceId::TipMenuText);
    QMenu *found = nullptr;
    for (QAction *item : menuBar()->actions()) {
        if (item->menu() && item->text() == helpTitle) {
            found = item->menu();
        }
    }
    if (found) {
        m_helpPopup = found;
        const QList<QAction *> items = found->actions();
        if (items.isEmpty() || items.constFirst()->text() != tipText) {
            QAction *first = items.isEmpty() ? nullptr : items.constFirst();
            QAction *separator = new QAction(found);
            separator->setSeparator(true);
            found->insertAction(first, separator);
            found->insertAction(separator,
                                makeCommandAction(CommandId::TipOfTheDay, tipText, found));
        }
        return;
    }
    if (!m_helpPopup) {
        m_helpPopup = new QMenu(helpTitle, this);
        m_helpPopup->addAction(makeCommandAction(CommandId::TipOfTheDay, tipText, m_helpPopup));
    }
    menuBar()->addMenu(m_helpPopup);
}
