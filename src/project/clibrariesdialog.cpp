#include "project/clibrariesdialog.h"

#include "framework/prompter.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CLibrariesDialog::CLibrariesDialog(QWidget *parent)
    : QDialog(parent)
    , m_list(new QListWidget(this))
    , m_addJars(new QPushButton(QStringLiteral("Add &Jar Files..."), this))
    , m_addFolder(new QPushButton(QStringLiteral("Add Class &Folder..."), this))
    , m_remove(new QPushButton(QStringLiteral("&Remove"), this))
    , m_up(new QPushButton(QStringLiteral("Move &Up"), this))
    , m_down(new QPushButton(QStringLiteral("Move &Down"), this)) {
    setWindowTitle(QStringLiteral("Libraries"));
    connect(m_addJars, &QPushButton::clicked, this, [this] {
        fw::FileDialogOptions options;
        options.filter = QStringLiteral("Java Archives (*.jar)|*.jar|All Files (*.*)|*.*||");
        options.defaultExtension = QStringLiteral("jar");
        options.allowMultiple = true;
        addPaths(fw::prompter().openFiles(options));
    });
    connect(m_addFolder, &QPushButton::clicked, this, [this] {
        const QString folder = fw::prompter().chooseFolder(QStringLiteral("Class Folder"));
        if (!folder.isEmpty()) {
            addPaths({folder});
        }
    });
    connect(m_remove, &QPushButton::clicked, this, [this] {
        delete m_list->currentItem();
        updateButtons();
    });
    connect(m_up, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(m_list, &QListWidget::currentRowChanged, this, &CLibrariesDialog::updateButtons);

    auto *buttonColumn = new QVBoxLayout;
    for (QPushButton *button : {m_addJars, m_addFolder, m_remove, m_up, m_down}) {
        button->setAutoDefault(false);
        buttonColumn->addWidget(button);
    }
    buttonColumn->addStretch();
    auto *row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    row->addLayout(buttonColumn);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Jar files and class folders on the class path of builds and runs:"), this));
    layout->addLayout(row);
    layout->addWidget(buttons);
    resize(560, 300);
    updateButtons();
}

CLibrariesDialog::~CLibrariesDialog() = default;

void CLibrariesDialog::setLibraries(const QStringList &libraries) {
    m_list->clear();
    addPaths(libraries);
}

QStringList CLibrariesDialog::libraries() const {
    QStringList paths;
    for (int row = 0; row < m_list->count(); ++row) {
        paths << m_list->item(row)->text();
    }
    return paths;
}

void CLibrariesDialog::addPaths(const QStringList &paths) {
    const QStringList listed = libraries();
    for (const QString &path : paths) {
        if (!listed.contains(path)) {
            m_list->addItem(path);
        }
    }
    m_list->setCurrentRow(m_list->count() - 1);
    updateButtons();
}

void CLibrariesDialog::moveSelected(int step) {
    const int row = m_list->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= m_list->count()) {
        return;
    }
    m_list->insertItem(target, m_list->takeItem(row));
    m_list->setCurrentRow(target);
}

void CLibrariesDialog::updateButtons() {
    const int row = m_list->currentRow();
    m_remove->setEnabled(row >= 0);
    m_up->setEnabled(row > 0);
    m_down->setEnabled(row >= 0 && row + 1 < m_list->count());
}
