#include "tools/processoutputwindow.h"

#include "tools/coutputedit.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
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
constexpr int kCloseInputButtonWidth = 90;
constexpr int kStopButtonWidth = 60;
const QString kInputPlaceholder = QStringLiteral("Input to the program; Enter sends the line");
const QString kInputClosedPlaceholder = QStringLiteral("Input closed");
} // namespace

ProcessOutputWindow::ProcessOutputWindow(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
    , m_progressBar(new QProgressBar(this))
    , m_captionField(new QLineEdit(this))
    , m_menuButton(new QToolButton(this))
    , m_windowMenu(new QMenu(this))
    , m_outputEdit(new COutputEdit(this))
    , m_inputLine(new ProgramInputLine(this))
    , m_closeInputButton(new QPushButton(QStringLiteral("Close Input"), this))
    , m_stopButton(new QPushButton(QStringLiteral("Stop"), this)) {
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

    m_inputLine->hide();
    m_inputLine->installEventFilter(this);
    m_closeInputButton->hide();
    m_closeInputButton->setAutoDefault(false);
    m_closeInputButton->setToolTip(QStringLiteral("End the program's input (Ctrl+D)"));
    connect(m_inputLine, &QLineEdit::returnPressed, this, [this] {
        const QString line = m_inputLine->text();
        m_inputLine->clear();
        Q_EMIT inputEntered(line);
    });
    // Pasted lines go to the program at once, as if each was typed and sent.
    connect(m_inputLine, &ProgramInputLine::linesPasted, this, &ProcessOutputWindow::inputEntered);
    connect(m_closeInputButton, &QPushButton::clicked, this,
            &ProcessOutputWindow::inputCloseRequested);
    // A program that never ends (a loop printing without end is a beginner's classic) is
    // stopped from here, with the question a close asks while it runs.
    m_stopButton->hide();
    m_stopButton->setAutoDefault(false);
    m_stopButton->setToolTip(QStringLiteral("Stop the program"));
    connect(m_stopButton, &QPushButton::clicked, this, &ProcessOutputWindow::closeRequested);

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

void ProcessOutputWindow::showInput(bool shown) {
    if (shown) {
        m_inputLine->clear();
        m_inputLine->setEnabled(true);
        m_inputLine->setPlaceholderText(kInputPlaceholder);
        m_closeInputButton->setEnabled(true);
    }
    m_inputLine->setVisible(shown);
    m_closeInputButton->setVisible(shown);
    m_stopButton->setVisible(shown);
    placeChildren();
    if (shown) {
        m_inputLine->setFocus();
    }
}

void ProcessOutputWindow::disableInput() {
    const bool hadFocus = m_inputLine->hasFocus();
    m_inputLine->clear();
    m_inputLine->setPlaceholderText(kInputClosedPlaceholder);
    m_inputLine->setEnabled(false);
    m_closeInputButton->setEnabled(false);
    if (hadFocus) {
        m_outputEdit->setFocus();
    }
}

bool ProcessOutputWindow::isInputShown() const {
    return !m_inputLine->isHidden();
}

bool ProcessOutputWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_inputLine && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_D && key->modifiers() == Qt::ControlModifier) {
            Q_EMIT inputCloseRequested();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
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
    placeChildren();
}

void ProcessOutputWindow::placeChildren() {
    const int inputHeight = isInputShown() ? kInputRowHeight : 0;
    m_outputEdit->setGeometry(0, kEditTop, width(), height() - kEditTop - inputHeight);
    if (inputHeight > 0) {
        const int top = height() - inputHeight;
        const int buttonWidth = std::min(kCloseInputButtonWidth, width() / 4);
        const int stopWidth = std::min(kStopButtonWidth, width() / 4);
        m_inputLine->setGeometry(0, top, width() - buttonWidth - stopWidth, inputHeight);
        m_closeInputButton->setGeometry(width() - buttonWidth - stopWidth, top, buttonWidth,
                                        inputHeight);
        m_stopButton->setGeometry(width() - stopWidth, top, stopWidth, inputHeight);
    }
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
