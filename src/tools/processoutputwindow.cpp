#include "tools/processoutputwindow.h"

#include "tools/coutputedit.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QToolButton>

#include <algorithm>

namespace {
const QRect kProgressBarPlace(2, 3, 140, 16);
// The caption field takes the width of the strip that the progress bar and the menu button
// leave, never less than its first width; the menu button keeps to the right edge.
const QRect kCaptionFieldPlace(146, 1, 320, 20);
const QRect kMenuButtonPlace(470, 1, 22, 20);
constexpr int kStripGap = 4;
constexpr int kRightMargin = 8;
const QSize kInitialSize(640, 280);
} // namespace

ProcessOutputWindow::ProcessOutputWindow(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
    , m_progressBar(new QProgressBar(this))
    , m_captionField(new QLineEdit(this))
    , m_menuButton(new QToolButton(this))
    , m_windowMenu(new QMenu(this))
    , m_outputEdit(new COutputEdit(this)) {
    setWindowTitle(QStringLiteral("Process Output"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tarvo.png")));

    m_progressBar->setGeometry(kProgressBarPlace);
    m_progressBar->setTextVisible(false);
    m_progressBar->setRange(0, kProgressMaximum);
    m_progressBar->setValue(0);
    m_captionField->setGeometry(kCaptionFieldPlace);
    m_captionField->setReadOnly(true);
    m_captionField->setFocusPolicy(Qt::ClickFocus);

    addWindowMenuCommand(kSaveAsCommand, QStringLiteral("Save As..."));
    addWindowMenuCommand(kFontCommand, QStringLiteral("Font..."));
    m_menuButton->setGeometry(kMenuButtonPlace);
    m_menuButton->setArrowType(Qt::DownArrow);
    m_menuButton->setToolTip(QStringLiteral("Window menu"));
    m_menuButton->setPopupMode(QToolButton::InstantPopup);
    m_menuButton->setMenu(m_windowMenu);
    m_outputEdit->setWindowMenuActions(m_windowMenu->actions());
    connect(m_outputEdit, &COutputEdit::lineDoubleClicked, this,
            &ProcessOutputWindow::lineDoubleClicked);

    resize(kInitialSize);
    m_outputEdit->setFocus();
}

ProcessOutputWindow::~ProcessOutputWindow() {
    Q_EMIT destroying(geometry());
}

void ProcessOutputWindow::setCaption(const QString &caption) {
    m_captionField->setText(caption);
    // The start says what runs; the whole text is in the tooltip when the field cuts it.
    m_captionField->setCursorPosition(0);
    m_captionField->setToolTip(caption);
}

void ProcessOutputWindow::setProgress(int value) {
    m_progressBar->setValue(value);
}

void ProcessOutputWindow::stepProgress() {
    const int next = m_progressBar->value() + 1;
    m_progressBar->setValue(next > kProgressMaximum ? 0 : next);
}

void ProcessOutputWindow::reject() {
    close();
}

void ProcessOutputWindow::closeEvent(QCloseEvent *event) {
    event->ignore();
    Q_EMIT closeRequested();
}

void ProcessOutputWindow::resizeEvent(QResizeEvent *event) {
    QDialog::resizeEvent(event);
    m_outputEdit->setGeometry(0, kEditTop, width(), height() - kEditTop);
    const int captionWidth =
        std::max(kCaptionFieldPlace.width(), width() - kCaptionFieldPlace.left() - kStripGap
                                                 - kMenuButtonPlace.width() - kRightMargin);
    m_captionField->resize(captionWidth, kCaptionFieldPlace.height());
    m_menuButton->move(kCaptionFieldPlace.left() + captionWidth + kStripGap,
                       kMenuButtonPlace.top());
}

void ProcessOutputWindow::addWindowMenuCommand(int id, const QString &text) {
    QAction *action = m_windowMenu->addAction(text);
    connect(action, &QAction::triggered, this, [this, id] { Q_EMIT windowMenuCommand(id); });
}
