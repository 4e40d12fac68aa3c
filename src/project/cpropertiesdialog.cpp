#include "project/cpropertiesdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CPropertiesDialog::CPropertiesDialog(QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Properties"));
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));

    auto *label = new QLabel(QStringLiteral("Main class package:"), this);
    m_packageEdit = new QLineEdit(this);
    m_packageEdit->setObjectName(QStringLiteral("edit%1").arg(kPackageEditId));
    label->setBuddy(m_packageEdit);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_packageEdit);
    layout->addWidget(buttons);
}

CPropertiesDialog::~CPropertiesDialog() = default;

QString CPropertiesDialog::package() const {
    return m_packageEdit->text();
}

void CPropertiesDialog::setPackage(const QString &package) {
    m_packageEdit->setText(package);
}
