#include "app/caboutdialog.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

CAboutDialog::CAboutDialog(QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Tarvo"));
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));

    auto *frame = new QGroupBox(QStringLiteral("Tarvo, the Java workbench"), this);
    auto *picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(QPixmap(QStringLiteral(":/icons/about.png")));
    picture->setAlignment(Qt::AlignTop);
    auto *product = new QLabel(QStringLiteral("Tarvo Version %1\nCopyright (C) Pellow Software")
                                   .arg(QStringLiteral(TARVO_VERSION)),
                               frame);
    product->setObjectName(QStringLiteral("product"));
    auto *address = new QLabel(kWebSiteAddress, frame);
    address->setObjectName(QStringLiteral("address"));
    address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *texts = new QVBoxLayout;
    texts->addWidget(product);
    texts->addWidget(address);
    texts->addStretch();
    auto *frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(picture);
    frameLayout->addLayout(texts, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton *visit =
        buttons->addButton(QStringLiteral("Visit Web Site"), QDialogButtonBox::ActionRole);
    visit->setObjectName(QStringLiteral("button%1").arg(kVisitWebSiteId));
    visit->setAutoDefault(false);
    connect(visit, &QPushButton::clicked, this, &CAboutDialog::visitWebSite);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(buttons);
}

CAboutDialog::~CAboutDialog() = default;

void CAboutDialog::visitWebSite() {
    // Whether a browser opened is not reported; the box stays open either way.
    QDesktopServices::openUrl(QUrl(kWebSiteAddress));
}
