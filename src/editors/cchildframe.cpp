#include "editors/cchildframe.h"

#include "framework/mainwindow.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
// Where a source window opens inside the free client area of the main window, in pixels.
constexpr int kLeft = 225;
constexpr int kTop = 0;
constexpr int kWidthShortfall = 235;
constexpr int kHeightShortfall = 10;
constexpr int kBarMargin = 2;
constexpr int kVisibleEntries = 16;
} // namespace

CChildFrame::CChildFrame() {
    auto *bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("functionBar"));
    bar->setProperty("barId", kFunctionBarId);
    auto *barLayoutRow = new QHBoxLayout(bar);
    barLayoutRow->setContentsMargins(kBarMargin, kBarMargin, kBarMargin, kBarMargin);

    m_functionList = new QComboBox(bar);
    m_functionList->setObjectName(QStringLiteral("functionList"));
    m_functionList->setProperty("controlId", kFunctionListId);
    m_functionList->setEditable(false);
    m_functionList->setMaxVisibleItems(kVisibleEntries);
    // Long entries must not widen the window: the list takes the bar's width.
    m_functionList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_functionList->setMinimumContentsLength(1);
    m_functionList->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_functionList->setFocusPolicy(Qt::StrongFocus);
    barLayoutRow->addWidget(m_functionList);

    auto *border = new QFrame(this);
    border->setFrameShape(QFrame::HLine);
    border->setFrameShadow(QFrame::Sunken);

    barLayout()->addWidget(bar);
    barLayout()->addWidget(border);
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::addEntries(const QStringList &entries) {
    m_functionList->addItems(entries);
    // Adding to an empty list selects its first entry; after a refresh nothing is selected.
    m_functionList->setCurrentIndex(-1);
}

void CChildFrame::clearEntries() {
    m_functionList->clear();
}

int CChildFrame::currentEntryIndex() const {
    return m_functionList->currentIndex();
}

QString CChildFrame::currentEntryText() const {
    return m_functionList->currentIndex() < 0 ? QString() : m_functionList->currentText();
}

QRect CChildFrame::initialGeometry(const fw::MainWindow &mainWindow) const {
    const QRect free = mainWindow.freeClientArea();
    return QRect(kLeft, kTop, free.width() - kWidthShortfall, free.height() - kHeightShortfall);
}
