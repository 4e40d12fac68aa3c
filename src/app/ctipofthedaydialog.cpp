#include "app/ctipofthedaydialog.h"

#include "framework/commandids.h"
#include "framework/prompter.h"
#include "framework/resourcetables.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kTipAreaWidth = 360;
constexpr int kTipAreaHeight = 150;
constexpr int kTextIndent = 12;
} // namespace

CTipOfTheDayDialog::CTipOfTheDayDialog(fw::Profile &profile, const QString &tipsPath,
                                       const fw::ResourceTables &tables, QWidget *parent)
    : QDialog(parent)
    , m_session(profile, tipsPath)
    , m_tables(tables)
    , m_bulb(QStringLiteral(":/icons/bulb.png")) {
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));

    auto *frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    // The placeholder is not drawn itself: the dialog paints its area white, with the bulb and
    // the heading, and the tip text lies on it below the bulb.
    m_tipArea = new QWidget(frame);
    m_tipArea->setObjectName(QStringLiteral("static%1").arg(kTipAreaId));
    m_tipArea->setMinimumSize(kTipAreaWidth, kTipAreaHeight);
    m_tipText = new QLabel(m_tipArea);
    m_tipText->setObjectName(QStringLiteral("static%1").arg(kTipTextId));
    m_tipText->setWordWrap(true);
    m_tipText->setTextFormat(Qt::PlainText);
    m_tipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette white = m_tipText->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    m_tipText->setPalette(white);
    m_tipText->setAutoFillBackground(true);
    auto *areaLayout = new QVBoxLayout(m_tipArea);
    areaLayout->setContentsMargins(m_bulb.width() + kTextIndent, m_bulb.height() + kTextIndent,
                                   kTextIndent, kTextIndent);
    areaLayout->addWidget(m_tipText, 1);
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    frameLayout->addWidget(m_tipArea);

    m_showAtStartUp = new QCheckBox(QStringLiteral("&Show Tips on StartUp"), this);
    m_showAtStartUp->setObjectName(QStringLiteral("check%1").arg(kShowAtStartUpId));
    m_showAtStartUp->setChecked(m_session.showAtStartUp());
    m_nextTip = new QPushButton(QStringLiteral("&Next Tip"), this);
    m_nextTip->setObjectName(QStringLiteral("button%1").arg(kNextTipId));
    m_nextTip->setAutoDefault(false);
    connect(m_nextTip, &QPushButton::clicked, this, &CTipOfTheDayDialog::nextTip);
    auto *close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("button1"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &CTipOfTheDayDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_showAtStartUp);
    buttons->addStretch(1);
    buttons->addWidget(m_nextTip);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);

    showTip(m_session.status());
    if (!m_session.hasFile()) {
        m_nextTip->setEnabled(false);
    }
}

CTipOfTheDayDialog::~CTipOfTheDayDialog() = default;

QString CTipOfTheDayDialog::tipText() const {
    return m_tipText->text();
}

QString CTipOfTheDayDialog::noTipsText() {
    return QStringLiteral("The tips file holds no tips.");
}

void CTipOfTheDayDialog::showTip(TipSession::Status status) {
    switch (status) {
    case TipSession::Status::Tip:
        m_tipText->setText(m_session.tip());
        break;
    case TipSession::Status::Missing:
        m_tipText->setText(m_tables.string(ResourceId::TipsMissing));
        break;
    case TipSession::Status::NoTip:
        // One whole pass found nothing; another would find nothing either.
        m_tipText->setText(noTipsText());
        m_nextTip->setEnabled(false);
        break;
    case TipSession::Status::Trouble:
        fw::prompter().message(m_tables.string(ResourceId::TipsTrouble));
        break;
    }
}

void CTipOfTheDayDialog::nextTip() {
    // Only the tip changes: the check box keeps what the user set until "&Close" takes it.
    showTip(m_session.next());
}

void CTipOfTheDayDialog::accept() {
    QDialog::accept();
    m_session.storeShowAtStartUp(m_showAtStartUp->isChecked());
}

void CTipOfTheDayDialog::paintEvent(QPaintEvent *event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    const QRect area(m_tipArea->mapTo(this, QPoint(0, 0)), m_tipArea->size());
    painter.fillRect(area, Qt::white);
    painter.drawPixmap(area.topLeft(), m_bulb);

    QFont heading = font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.5);
    painter.setFont(heading);
    painter.setPen(Qt::black);
    const QRect band(area.left() + m_bulb.width(), area.top(), area.width() - m_bulb.width(),
                     m_bulb.height());
    painter.drawText(band.adjusted(kTextIndent / 2, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     m_tables.string(ResourceId::TipHeading));
}
