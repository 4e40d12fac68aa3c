#include "app/cfindinfilesdialog.h"

#include "framework/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CFindInFilesDialog::CFindInFilesDialog(bool hasProject, const QString &activeFolder,
                                       QWidget *parent)
    : QDialog(parent)
    , m_activeFolder(activeFolder)
    , m_text(new QComboBox(this))
    , m_matchCase(new QCheckBox(QStringLiteral("Match &case"), this))
    , m_wholeWord(new QCheckBox(QStringLiteral("Match &whole word"), this))
    , m_regularExpression(new QCheckBox(QStringLiteral("Regular e&xpression"), this))
    , m_scope(new QComboBox(this))
    , m_folder(new QLineEdit(this))
    , m_patterns(new QLineEdit(QStringLiteral("*.java"), this))
    , m_subfolders(new QCheckBox(QStringLiteral("Include &subfolders"), this)) {
    setWindowTitle(QStringLiteral("Find in Files"));
    m_text->setEditable(true);
    m_text->setInsertPolicy(QComboBox::NoInsert);
    m_text->setMinimumContentsLength(30);
    m_scope->addItem(QStringLiteral("The project's files"));
    m_scope->addItem(QStringLiteral("The active file's folder"));
    m_scope->addItem(QStringLiteral("A folder"));
    // Where nothing can be searched, the choice is there but cannot be taken.
    const auto disable = [this](int row) { m_scope->setItemData(row, 0, Qt::UserRole - 1); };
    if (!hasProject) {
        disable(ProjectFiles);
    }
    if (activeFolder.isEmpty()) {
        disable(ActiveFileFolder);
    }
    m_scope->setCurrentIndex(hasProject               ? ProjectFiles
                             : activeFolder.isEmpty() ? ChosenFolder
                                                      : ActiveFileFolder);
    m_subfolders->setChecked(true);
    m_patterns->setToolTip(QStringLiteral("File name patterns, separated by ';'"));

    auto *browse = new QPushButton(QStringLiteral("&Browse..."), this);
    browse->setAutoDefault(false);
    m_browse = browse;
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = fw::prompter().chooseFolder(QStringLiteral("Find in Folder"));
        if (!chosen.isEmpty()) {
            m_folder->setText(chosen);
        }
    });
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browse);
    connect(m_scope, &QComboBox::currentIndexChanged, this, &CFindInFilesDialog::updateFolderRow);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Find &what:"), m_text);
    form->addRow(QString(), m_matchCase);
    form->addRow(QString(), m_wholeWord);
    form->addRow(QString(), m_regularExpression);
    form->addRow(QStringLiteral("&Look in:"), m_scope);
    auto *folderLabel = new QLabel(QStringLiteral("&Folder:"), this);
    folderLabel->setBuddy(m_folder);
    form->addRow(folderLabel, folderRow);
    form->addRow(QStringLiteral("File &types:"), m_patterns);
    form->addRow(QString(), m_subfolders);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->addButton(QStringLiteral("&Find"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFindInFilesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    updateFolderRow();
    m_text->setFocus();
}

CFindInFilesDialog::~CFindInFilesDialog() = default;

void CFindInFilesDialog::setText(const QString &text) {
    m_text->setEditText(text);
    m_text->lineEdit()->selectAll();
}

search::Query CFindInFilesDialog::query() const {
    return {m_text->currentText(), m_regularExpression->isChecked(), m_matchCase->isChecked(),
            m_wholeWord->isChecked()};
}

CFindInFilesDialog::Scope CFindInFilesDialog::scope() const {
    return static_cast<Scope>(m_scope->currentIndex());
}

QString CFindInFilesDialog::folder() const {
    return scope() == ActiveFileFolder ? m_activeFolder : m_folder->text().trimmed();
}

bool CFindInFilesDialog::includeSubfolders() const {
    return m_subfolders->isChecked();
}

QStringList CFindInFilesDialog::filePatterns() const {
    QStringList patterns;
    for (const QString &pattern : m_patterns->text().split(QLatin1Char(';'))) {
        if (!pattern.trimmed().isEmpty()) {
            patterns << pattern.trimmed();
        }
    }
    return patterns.isEmpty() ? QStringList{QStringLiteral("*")} : patterns;
}

void CFindInFilesDialog::updateFolderRow() {
    const bool folderScope = scope() != ProjectFiles;
    m_folder->setEnabled(scope() == ChosenFolder);
    m_browse->setEnabled(scope() == ChosenFolder);
    if (scope() == ActiveFileFolder) {
        m_folder->setText(m_activeFolder);
    }
    m_patterns->setEnabled(folderScope);
    m_subfolders->setEnabled(folderScope);
}

void CFindInFilesDialog::accept() {
    const search::Matcher matcher(query());
    if (!matcher.isValid()) {
        fw::prompter().message(matcher.error());
        return;
    }
    if (scope() != ProjectFiles && !QFileInfo(folder()).isDir()) {
        fw::prompter().message(folder().isEmpty()
                                   ? QStringLiteral("Choose the folder to search.")
                                   : QStringLiteral("The folder %1 does not exist.").arg(folder()));
        return;
    }
    QDialog::accept();
}
