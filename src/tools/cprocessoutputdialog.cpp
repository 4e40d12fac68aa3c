#include "tools/cprocessoutputdialog.h"

#include "framework/application.h"
#include "framework/document.h"
#include "framework/mainwindow.h"
#include "framework/prompter.h"
#include "framework/windowplacement.h"
#include "services/ideservices.h"
#include "tools/coutputedit.h"
#include "tools/nativewindowwatch.h"
#include "tools/outputwindowkeys.h"
#include "tools/outputwindowlistener.h"
#include "tools/processoutputwindow.h"
#include "tools/processrunner.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QScopeGuard>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace {

const QString kInProgressDashes = QStringLiteral("External process in progress --");
const QString kInProgressPlus = QStringLiteral("External process in progress +");
const QString kComplete = QStringLiteral("External process complete");
const QString kAbortQuestion =
    QStringLiteral("The process is still running, do you wish to abort it?");
const QString kCantSave = QStringLiteral("Can't save file!");
const QString kTextFilesFilter = QStringLiteral("Text Files (*.txt)|*.txt||");
const QString kTextExtension = QStringLiteral("txt");

void setStatusText(const QString &text) {
    if (IdeServices *services = IdeServices::instance()) {
        services->setMessageText(text);
    }
}

QWidget *ownerWindow() {
    fw::Application *application = fw::Application::instance();
    return application ? application->mainWindow() : nullptr;
}

QFont outputFont(const AppSettings &settings) {
    QFont font(settings.outputFontName);
    if (settings.outputFontSize > 0) {
        font.setPointSizeF(settings.outputFontSize / 10.0);
    }
    return font;
}

// The stored place of the window, kept on the screen that holds its centre (or the main
// window's screen), whatever junk the settings hold.
QRect placeOnScreen(const WindowRect &stored) {
    const qint64 centreX = (qint64(stored.left) + stored.right) / 2;
    const qint64 centreY = (qint64(stored.top) + stored.bottom) / 2;
    QScreen *screen =
        QGuiApplication::screenAt(QPoint(int(std::clamp<qint64>(centreX, INT_MIN, INT_MAX)),
                                         int(std::clamp<qint64>(centreY, INT_MIN, INT_MAX))));
    if (!screen) {
        QWidget *owner = ownerWindow();
        screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    }
    if (!screen) {
        return {};
    }
    return fw::fitRectOnScreen(stored.left, stored.top, stored.right, stored.bottom,
                               screen->availableGeometry());
}

// What the caption field shows: the run's description, the command line it runs and the
// folder it runs in. A description that is the command line itself is not repeated.
QString runCaption(const QString &toolCaption, const QString &commandLine, const QString &folder) {
    if (commandLine.isEmpty()) {
        return toolCaption;
    }
    QStringList parts;
    if (!toolCaption.isEmpty() && toolCaption != commandLine) {
        parts << toolCaption;
    }
    parts << commandLine << QStringLiteral("in ") + QDir::toNativeSeparators(folder);
    return parts.join(QStringLiteral(" \u2014 "));
}

} // namespace

CProcessOutputDialog::CProcessOutputDialog()
    : m_timer(new QTimer(this))
    , m_pumpTimer(new QTimer(this)) {
    if (IdeServices *services = IdeServices::instance()) {
        m_windowRect = services->settings().outputWindowRect;
    }
    m_timer->setInterval(kTimerPeriodMs);
    connect(m_timer, &QTimer::timeout, this, &CProcessOutputDialog::OnTimer);
    m_pumpTimer->setSingleShot(true);
    connect(m_pumpTimer, &QTimer::timeout, this, &CProcessOutputDialog::pump);
}

CProcessOutputDialog::~CProcessOutputDialog() {
    DestroyWindow();
}

void CProcessOutputDialog::Open(std::unique_ptr<CProcessRunner> runner,
                                OutputWindowListener *view) {
    // A window that exists, shown, hidden or minimised, is reused and shown; brought back while
    // it watches a run, it keeps the run and its input row as they are.
    if (m_window && !runner && isWatching()) {
        setView(view);
        bringBack();
        return;
    }
    if (m_window) {
        Restart(std::move(runner), view);
        m_window->raise();
        return;
    }
    const QPointer<QWidget> hadKeyboard = QApplication::focusWidget();
    m_runner = std::move(runner);
    setView(view);
    createWindow();
    const bool running = IsProcessRunning();
    showRunOutput();
    const bool endedAlready = m_runner && !running;
    if (running) {
        m_animationPhase = true;
        m_timer->start();
    }
    if (const QRect place = placeOnScreen(m_windowRect); !place.isNull()) {
        m_window->setGeometry(place);
    }
    showInputOfRun();
    m_window->setAttribute(Qt::WA_ShowWithoutActivating, !m_window->isInputShown() && hadKeyboard);
    m_window->show();
    placeKeyboard(hadKeyboard);
    pump();
    if (endedAlready) {
        emit runFinished();
    }
}

bool CProcessOutputDialog::Restart(std::unique_ptr<CProcessRunner> runner,
                                   OutputWindowListener *view) {
    if (m_window && m_windowLost) {
        DestroyWindow(); // a new window takes the place of the one the window system took
    }
    if (!m_window) {
        Open(std::move(runner), view);
        return true;
    }
    const QPointer<QWidget> hadKeyboard = QApplication::focusWidget();
    m_runner.reset();
    m_window->setProgress(0);
    m_runner = std::move(runner);
    showCaption();
    setView(view);
    const bool running = IsProcessRunning();
    showRunOutput();
    const bool endedAlready = m_runner && !running;
    if (running) {
        m_timer->start();
    }
    showInputOfRun();
    m_window->show();
    placeKeyboard(hadKeyboard);
    pump();
    if (endedAlready) {
        emit runFinished();
    }
    return true;
}

void CProcessOutputDialog::placeKeyboard(const QPointer<QWidget> &hadKeyboard) {
    if (m_window->isInputShown()) {
        m_window->raise();
        m_window->activateWindow();
        m_window->inputLine()->setFocus(Qt::OtherFocusReason);
        return;
    }
    // Showing the window may take the keyboard (later, as the window system answers) where the
    // platform ignores the wish that it should not: the window that had it asks for it again.
    if (hadKeyboard) {
        hadKeyboard->activateWindow();
        hadKeyboard->setFocus(Qt::OtherFocusReason);
    }
}

void CProcessOutputDialog::ShowStartFailure(const QString &commandLine, const QString &folder,
                                            const QString &text) {
    if (!m_window || isWatching()) {
        return;
    }
    m_runner.reset();
    m_commandLine = commandLine;
    m_commandFolder = folder;
    showCaption();
    m_window->setProgress(0);
    m_window->showInput(false);
    resetShownText(kNoRun);
    m_shownText.append(text.toUtf8());
    pump();
}

bool CProcessOutputDialog::IsOpen() const {
    return m_window != nullptr && !m_window->isHidden() && !m_window->isMinimized()
           && !m_windowLost;
}

void CProcessOutputDialog::bringBack() {
    if (m_windowLost) {
        renewLostWindow();
        return;
    }
    if (m_window->isMinimized()) {
        m_window->showNormal();
    } else {
        m_window->show();
    }
    m_window->raise();
    m_window->activateWindow();
}

void CProcessOutputDialog::OnWindowLost() {
    m_windowLost = true;
    // Not while the abort question is up: the question's box may be a child of the old window.
    if (!m_askingToAbort) {
        QMetaObject::invokeMethod(this, &CProcessOutputDialog::renewLostWindow,
                                  Qt::QueuedConnection);
    }
}

void CProcessOutputDialog::renewLostWindow() {
    if (!m_window || !m_windowLost || m_askingToAbort) {
        return;
    }
    // The new window shows the same text and watches the same run, with its input row.
    std::unique_ptr<CProcessRunner> runner = std::move(m_runner);
    OutputWindowListener *view = listener();
    DestroyWindow();
    Open(std::move(runner), view);
}

void CProcessOutputDialog::DestroyWindow() {
    if (!m_window) {
        m_runner.reset();
        return;
    }
    const QPointer<ProcessOutputWindow> window = m_window;
    OnWindowDestroyed(window->geometry());
    window->disconnect(this);
    // Deleted later: this may run inside one of the window's own event handlers.
    window->hide();
    window->deleteLater();
}

QString CProcessOutputDialog::ShownText() const {
    return m_shownText.text().replace(u'\n', QStringLiteral("\r\n"));
}

void CProcessOutputDialog::SelectLine(int line) {
    if (!m_window) {
        return;
    }
    COutputEdit *edit = m_window->outputEdit();
    const QTextBlock block = edit->document()->findBlockByNumber(line);
    if (!block.isValid()) {
        return;
    }
    // Selected from its end back to its start: the window scrolls to where the line begins,
    // which names the file and line, not to the end of a long message.
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
}

ProcessOutputWindow *CProcessOutputDialog::window() const {
    return m_window;
}

bool CProcessOutputDialog::isWatching() const {
    return m_timer->isActive();
}

void CProcessOutputDialog::createWindow() {
    m_window = new ProcessOutputWindow(ownerWindow());
    // The main window's keys work where the messages are read, too: F4, F5, F7 and the rest.
    if (auto *main = qobject_cast<fw::MainWindow *>(ownerWindow())) {
        forwardMainWindowKeys(m_window, main);
    }
    connect(m_window, &ProcessOutputWindow::destroying, this,
            &CProcessOutputDialog::OnWindowDestroyed);
    connect(new NativeWindowWatch(m_window), &NativeWindowWatch::windowDestroyed, this,
            &CProcessOutputDialog::OnWindowLost);
    connect(m_window, &ProcessOutputWindow::closeRequested, this, &CProcessOutputDialog::OnClose);
    connect(m_window, &ProcessOutputWindow::windowMenuCommand, this,
            &CProcessOutputDialog::OnSysCommand);
    connect(m_window, &ProcessOutputWindow::lineDoubleClicked, this,
            &CProcessOutputDialog::OnLineClicked);
    connect(m_window, &ProcessOutputWindow::inputEntered, this,
            &CProcessOutputDialog::OnInputEntered);
    connect(m_window, &ProcessOutputWindow::inputCloseRequested, this,
            &CProcessOutputDialog::OnInputClose);
    if (IdeServices *services = IdeServices::instance()) {
        m_window->outputEdit()->setFont(outputFont(services->settings()));
    }
    showCaption();
}

void CProcessOutputDialog::showCaption() {
    if (m_runner) {
        m_commandLine = m_runner->commandLine();
        m_commandFolder = m_runner->currentFolder();
    }
    const IdeServices *services = IdeServices::instance();
    m_window->setCaption(
        runCaption(services ? services->toolCaption() : QString(), m_commandLine, m_commandFolder));
}

void CProcessOutputDialog::setView(OutputWindowListener *view) {
    m_view = view;
    m_viewObject = dynamic_cast<QObject *>(view);
    m_viewIsObject = m_viewObject != nullptr;
}

OutputWindowListener *CProcessOutputDialog::listener() const {
    return m_viewIsObject && !m_viewObject ? nullptr : m_view;
}

void CProcessOutputDialog::finishIfRunOver() {
    if (!m_timer->isActive() || !m_runOver || !m_placer.isCaughtUp(m_shownText)) {
        return;
    }
    m_window->setProgress(ProcessOutputWindow::kProgressMaximum);
    m_window->showInput(false);
    setStatusText(kComplete);
    m_timer->stop();
    m_runner.reset();
    emit runFinished();
}

void CProcessOutputDialog::OnWindowDestroyed(const QRect &place) {
    m_windowLost = false;
    m_timer->stop();
    m_pumpTimer->stop();
    m_runner.reset();
    m_window = nullptr;
    m_windowRect = {place.left(), place.top(), place.left() + place.width(),
                    place.top() + place.height()};
    if (IdeServices *services = IdeServices::instance()) {
        services->SaveOutputWindowRect(m_windowRect.left, m_windowRect.top, m_windowRect.right,
                                       m_windowRect.bottom);
    }
}

void CProcessOutputDialog::OnTimer() {
    if (!m_window) {
        m_timer->stop();
        return;
    }
    setStatusText(m_animationPhase ? kInProgressDashes : kInProgressPlus);
    m_animationPhase = !m_animationPhase;
    m_window->stepProgress();
    if (!m_pumpTimer->isActive()) {
        pump();
    }
}

void CProcessOutputDialog::OnClose() {
    if (m_askingToAbort) {
        return; // the question is up already; its answer decides
    }
    if (IsProcessRunning()) {
        StopRun();
        return;
    }
    if (listener()) {
        // The view destroys the window, which must not happen inside the window's own close.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (OutputWindowListener *view = listener(); view && IsOpen()) {
                    view->OnOutputClose();
                }
            },
            Qt::QueuedConnection);
        return;
    }
    DestroyWindow();
}

bool CProcessOutputDialog::StopRun() {
    if (m_askingToAbort) {
        return false;
    }
    if (!IsProcessRunning()) {
        return true;
    }
    const QPointer<CProcessOutputDialog> alive(this);
    m_askingToAbort = true;
    const fw::Answer answer = fw::prompter().message(kAbortQuestion, fw::MessageButtons::OkCancel);
    if (!alive) {
        if (answer == fw::Answer::Ok) {
            CProcessRunner().Terminate(kUserAbortExitCode);
        }
        return answer == fw::Answer::Ok;
    }
    m_askingToAbort = false;
    const auto renewWhenLost = qScopeGuard([this] { renewLostWindow(); });
    if (answer != fw::Answer::Ok) {
        return false;
    }
    // The run belongs to the process, not to this window: it is ended even when the window,
    // and the runner it held, went while the question was up.
    if (m_runner) {
        m_runner->Terminate(kUserAbortExitCode);
    } else {
        CProcessRunner().Terminate(kUserAbortExitCode);
    }
    m_runner.reset();
    showEndSoon();
    return true;
}

void CProcessOutputDialog::OnSysCommand(int id) {
    if (id == ProcessOutputWindow::kSaveAsCommand) {
        SaveAs();
    } else if (id == ProcessOutputWindow::kFontCommand) {
        ChooseFont();
    }
}

void CProcessOutputDialog::OnLineClicked(int line) {
    if (OutputWindowListener *view = listener()) {
        view->OnOutputGotoLine(line);
    }
}

void CProcessOutputDialog::showInputOfRun() {
    m_window->showInput(m_runner && isWatching() && IsProcessInputOpen());
}

void CProcessOutputDialog::OnInputEntered(const QString &line) {
    if (!SendProcessInput(line)) {
        m_window->disableInput();
        return;
    }
    pump(); // the typed line shows at once
}

void CProcessOutputDialog::OnInputClose() {
    CloseProcessInput();
    if (m_window) {
        m_window->disableInput();
    }
}

void CProcessOutputDialog::SaveAs() {
    fw::FileDialogOptions options;
    options.filter = kTextFilesFilter;
    options.defaultExtension = kTextExtension;
    options.overwritePrompt = true;
    const QString path = fw::prompter().saveFile(options);
    if (path.isEmpty()) {
        return;
    }
    // The captured text of the run shown, in the bytes the tool wrote and with lines whole,
    // while the runner has it; else the text as the window shows it.
    quint64 run = 0;
    QByteArray bytes = ProcessOutputText(nullptr, nullptr, &run);
    if (run != m_run) {
        bytes = ShownText().toUtf8();
    }
    QString error;
    if (!fw::writeFileSafely(path, bytes, &error)) {
        fw::prompter().message(kCantSave);
    }
}

void CProcessOutputDialog::ChooseFont() {
    if (!m_window) {
        return;
    }
    COutputEdit *edit = m_window->outputEdit();
    const std::optional<QFont> chosen = fw::prompter().chooseFont(edit->font());
    if (!chosen) {
        return;
    }
    edit->setFont(*chosen);
    if (IdeServices *services = IdeServices::instance()) {
        AppSettings &settings = services->settings();
        settings.outputFontName = chosen->family();
        if (chosen->pointSizeF() > 0) {
            settings.outputFontSize = qRound(chosen->pointSizeF() * 10);
        }
        services->SaveOutputFont();
    }
}
