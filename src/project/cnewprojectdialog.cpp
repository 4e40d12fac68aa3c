#include "project/cnewprojectdialog.h"

#include "framework/prompter.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

CNewProjectDialog::CNewProjectDialog(QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("New Project"));
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));

    auto *typeBox = new QGroupBox(QStringLiteral("New Project Type"), this);
    m_emptyRadio = new QRadioButton(QStringLiteral("Empty Project"), typeBox);
    m_applicationRadio = new QRadioButton(QStringLiteral("Application Project"), typeBox);
    m_appletRadio = new QRadioButton(QStringLiteral("Applet Project"), typeBox);
    m_emptyRadio->setObjectName(QStringLiteral("radio%1").arg(kEmptyRadioId));
    m_applicationRadio->setObjectName(QStringLiteral("radio%1").arg(kApplicationRadioId));
    m_appletRadio->setObjectName(QStringLiteral("radio%1").arg(kAppletRadioId));
    auto *typeLayout = new QVBoxLayout(typeBox);
    typeLayout->addWidget(m_emptyRadio);
    typeLayout->addWidget(m_applicationRadio);
    typeLayout->addWidget(m_appletRadio);

    auto *label = new QLabel(QStringLiteral("Class name (for main class)"), this);
    m_classNameEdit = new QLineEdit(this);
    m_classNameEdit->setObjectName(QStringLiteral("edit%1").arg(kClassNameEditId));
    label->setBuddy(m_classNameEdit);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewProjectDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(typeBox);
    layout->addWidget(label);
    layout->addWidget(m_classNameEdit);
    layout->addWidget(buttons);

    setKind(ProjectKind::Empty);
    setClassName(kDefaultClassName);
}

CNewProjectDialog::~CNewProjectDialog() = default;

CNewProjectDialog::ProjectKind CNewProjectDialog::kind() const {
    if (m_applicationRadio->isChecked()) {
        return ProjectKind::Application;
    }
    if (m_appletRadio->isChecked()) {
        return ProjectKind::Applet;
    }
    return ProjectKind::Empty;
}

void CNewProjectDialog::setKind(ProjectKind kind) {
    switch (kind) {
    case ProjectKind::Empty:
        m_emptyRadio->setChecked(true);
        break;
    case ProjectKind::Application:
        m_applicationRadio->setChecked(true);
        break;
    case ProjectKind::Applet:
        m_appletRadio->setChecked(true);
        break;
    }
}

QString CNewProjectDialog::className() const {
    return m_classNameEdit->text();
}

void CNewProjectDialog::setClassName(const QString &className) {
    m_classNameEdit->setText(className);
}

void CNewProjectDialog::accept() {
    // An empty project does not use the class name.
    if (kind() != ProjectKind::Empty) {
        if (className().isEmpty()) {
            fw::prompter().message(kNoClassNameMessage);
            setClassName(kDefaultClassName);
            return;
        }
        const bool separator = NewProjectTemplates::holdsPathSeparator(className());
        if (separator || !NewProjectTemplates::isJavaClassName(className())) {
            fw::prompter().message(separator ? kSeparatorMessage
                                             : kNotAClassNameMessage.arg(className()));
            m_classNameEdit->selectAll();
            m_classNameEdit->setFocus();
            return;
        }
        if (NewProjectTemplates::templateClassNames(kind()).contains(className())) {
            fw::prompter().message(kTemplateClassMessage.arg(className()));
            m_classNameEdit->selectAll();
            m_classNameEdit->setFocus();
            return;
        }
    }
    QDialog::accept();
}

void CNewProjectDialog::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    m_classNameEdit->selectAll();
    m_classNameEdit->setFocus();
}
