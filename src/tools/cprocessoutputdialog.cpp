#include "tools/cprocessoutputdialog.h"

#include "framework/application.h"
#include "framework/document.h"
#include "framework/mainwindow.h"
#include "framework/prompter.h"
#include "services/ideservices.h"
#include "tools/coutputedit.h"
#include "tools/outputwindowlistener.h"
#include "tools/processoutputwindow.h"
#include "tools/processrunner.h"

#include <QElapsedTimer>
#include <QFont>
#include <QLineEdit>
#include <QProgressBar>
#include <QTextCursor>
#include <QTimer>

#include <algorithm>

namespace {

const QString kInProgressDashes = QStringLiteral("External process in progress --");
const QString kInProgressPlus = QStringLiteral("External process in progress +");
const QString kComplete = QStringLiteral("External process complete");
const QString kAbortQuestion =
    QStringLiteral("The process is still running, do you wish to abort it?");
const QString kCantSave = QStringLiteral("Can't save file!");
const QString kTextFilesFilter = QStringLiteral("Text Files (*.txt)|*.txt||");
const QString kTextExtension = QStringLiteral("txt");

// Placing text costs about a millisecond per 16 KB in an edit that already holds tens of
// megabytes; a slice of this size and a budget per call keep every timer call far below 50 ms.
constexpr qsizetype kPlacingSlice = 64 * 1024;
constexpr qint64 kPlacingBudgetMs = 15;
// While a run is watched, new text is also taken between ticks this often: a take copies all
// the text added since the last one, and a fast tool adds megabytes in 200 ms.
constexpr int kPollPeriodMs = 20;

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
    if (IsOpen()) {
        Restart(std::move(runner), view);
        m_window->raise();
        return;
    }
    m_runner = std::move(runner);
    setView(view);
    createWindow();
    bool running = false;
    const QByteArray text = ProcessOutputText(&running);
    replaceShownText(text, running);
    if (running) {
        m_animationPhase = true;
        m_timer->start();
    }
    if (!m_windowRect.isNull()) {
        m_window->setGeometry(m_windowRect.left, m_windowRect.top,
                              m_windowRect.right - m_windowRect.left,
                              m_windowRect.bottom - m_windowRect.top);
    }
    showInputOfRun();
    m_window->show();
    pump();
}

bool CProcessOutputDialog::Restart(std::unique_ptr<CProcessRunner> runner,
                                   OutputWindowListener *view) {
    if (!IsOpen()) {
        Open(std::move(runner), view);
        return true;
    }
    if (IdeServices *services = IdeServices::instance()) {
        m_window->setCaption(services->toolCaption());
    }
    m_runner.reset();
    m_window->setProgress(0);
    m_runner = std::move(runner);
    setView(view);
    bool running = false;
    const QByteArray text = ProcessOutputText(&running);
    replaceShownText(text, running);
    if (running) {
        m_timer->start();
    }
    showInputOfRun();
    pump();
    return true;
}

bool CProcessOutputDialog::IsOpen() const {
    return m_window != nullptr;
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
    return m_shownText.text();
}

ProcessOutputWindow *CProcessOutputDialog::window() const {
    return m_window;
}

bool CProcessOutputDialog::isWatching() const {
    return m_timer->isActive();
}

void CProcessOutputDialog::createWindow() {
    m_window = new ProcessOutputWindow(ownerWindow());
    connect(m_window, &ProcessOutputWindow::destroying, this,
            &CProcessOutputDialog::OnWindowDestroyed);
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
        m_window->setCaption(services->toolCaption());
    }
}

void CProcessOutputDialog::setView(OutputWindowListener *view) {
    m_view = view;
    m_viewObject = dynamic_cast<QObject *>(view);
    m_viewIsObject = m_viewObject != nullptr;
}

OutputWindowListener *CProcessOutputDialog::listener() const {
    return m_viewIsObject && !m_viewObject ? nullptr : m_view;
}

void CProcessOutputDialog::replaceShownText(const QByteArray &text, bool running) {
    m_shownText.reset(text);
    m_runOver = !running;
    m_window->outputEdit()->clear();
}

void CProcessOutputDialog::takeNewOutput() {
    const ProcessOutputUpdate update = ProcessOutputSince(m_shownText.size());
    if (update.length < m_shownText.size()) {
        // processOutput was emptied by a run this window was not told about: show it afresh.
        bool running = false;
        const QByteArray text = ProcessOutputText(&running);
        replaceShownText(text, running);
        return;
    }
    if (update.added.isEmpty()) {
        return; // no new text: the flag is not looked at
    }
    m_shownText.append(update.added);
    m_runOver = !update.running;
}

void CProcessOutputDialog::pump() {
    QElapsedTimer clock;
    clock.start();
    if (!m_window) {
        return;
    }
    if (isWatching()) {
        takeNewOutput();
    }
    placePendingOutput(clock);
    finishIfRunOver();
    if (m_shownText.hasPending()) {
        m_pumpTimer->start(0);
    } else if (isWatching()) {
        m_pumpTimer->start(kPollPeriodMs);
    }
}

void CProcessOutputDialog::placePendingOutput(const QElapsedTimer &clock) {
    COutputEdit *edit = m_window->outputEdit();
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    bool placed = false;
    while (m_shownText.hasPending() && (!placed || clock.elapsed() < kPlacingBudgetMs)) {
        cursor.insertText(m_shownText.nextDisplaySlice(kPlacingSlice));
        placed = true;
    }
    if (placed) {
        edit->setTextCursor(cursor);
        edit->ensureCursorVisible();
    }
}

void CProcessOutputDialog::finishIfRunOver() {
    if (!m_timer->isActive() || !m_runOver || m_shownText.hasPending()) {
        return;
    }
    m_window->setProgress(ProcessOutputWindow::kProgressMaximum);
    m_window->showInput(false);
    setStatusText(kComplete);
    m_timer->stop();
    m_runner.reset();
}

void CProcessOutputDialog::OnWindowDestroyed(const QRect &place) {
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
    pump();
}

void CProcessOutputDialog::OnClose() {
    if (IsProcessRunning()) {
        const fw::Answer answer =
            fw::prompter().message(kAbortQuestion, fw::MessageButtons::OkCancel);
        if (answer == fw::Answer::Ok && m_runner) {
            m_runner->Terminate(kUserAbortExitCode);
            m_runner.reset();
        }
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
    // The text as the edit shows it, in the bytes the tool wrote.
    QString error;
    if (!fw::writeFileSafely(path, m_shownText.bytes(m_shownText.placedSize()), &error)) {
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
