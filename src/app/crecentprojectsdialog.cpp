#include "app/crecentprojectsdialog.h"

#include "framework/prompter.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CRecentProjectsDialog::CRecentProjectsDialog(const QStringList &projects, QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Recent Projects"));
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("list%1").arg(kListId));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->addItems(projects);
    if (m_list->count() > 0) {
        m_list->setCurrentRow(0);
    }
    // Enter reaches the dialog's default button (OK); a double-click takes the same path.
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CRecentProjectsDialog::accept);

    auto *label = new QLabel(QStringLiteral("Choose a recent project from the list above"), this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRecentProjectsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(label);
    layout->addWidget(buttons);
}

CRecentProjectsDialog::~CRecentProjectsDialog() = default;

void CRecentProjectsDialog::accept() {
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        fw::prompter().message(kNothingChosenMessage);
        return;
    }
    m_chosen = selected.constFirst()->text();
    QDialog::accept();
}

void CRecentProjectsDialog::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    m_list->setFocus();
}
