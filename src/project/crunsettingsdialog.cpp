#include "project/crunsettingsdialog.h"

#include "framework/prompter.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

namespace {

// A line edit with a "Browse..." button after it that fills it.
QWidget *withBrowseButton(QLineEdit *edit, QWidget *parent,
                          const std::function<QString()> &browse) {
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *button = new QPushButton(QStringLiteral("Browse..."), row);
    layout->addWidget(edit, 1);
    layout->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, edit, [edit, browse] {
        const QString chosen = browse();
        if (!chosen.isEmpty()) {
            edit->setText(chosen);
        }
    });
    return row;
}

} // namespace

CRunSettingsDialog::CRunSettingsDialog(QWidget *parent)
    : QDialog(parent)
    , m_arguments(new QLineEdit(this))
    , m_inputFile(new QLineEdit(this))
    , m_vmOptions(new QLineEdit(this))
    , m_workingFolder(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("Run Settings"));
    m_inputFile->setPlaceholderText(QStringLiteral("none: type the input in the output window"));
    m_vmOptions->setPlaceholderText(QStringLiteral("for example -ea -Xmx512m"));
    m_workingFolder->setPlaceholderText(QStringLiteral("where the main class is found"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Program &arguments:"), m_arguments);
    form->addRow(QStringLiteral("Standard &input from file:"),
                 withBrowseButton(m_inputFile, this, [] {
                     fw::FileDialogOptions options;
                     options.filter = QStringLiteral("All Files (*.*)|*.*||");
                     return fw::prompter().openFiles(options).value(0);
                 }));
    form->addRow(QStringLiteral("&VM options:"), m_vmOptions);
    form->addRow(QStringLiteral("&Working folder:"), withBrowseButton(m_workingFolder, this, [] {
                     return fw::prompter().chooseFolder(QStringLiteral("Working Folder"));
                 }));
    auto *note = new QLabel(QStringLiteral("Arguments and options are split as a shell splits "
                                           "them: put one that holds blanks in quotes."),
                            this);
    note->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRunSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
    resize(520, sizeHint().height());
}

CRunSettingsDialog::~CRunSettingsDialog() = default;

void CRunSettingsDialog::setOptions(const jdk::RunOptions &options) {
    m_arguments->setText(options.arguments);
    m_inputFile->setText(options.inputFile);
    m_vmOptions->setText(options.vmOptions);
    m_workingFolder->setText(options.workingFolder);
    m_libraries = options.libraries;
}

jdk::RunOptions CRunSettingsDialog::options() const {
    return {m_arguments->text(), m_inputFile->text().trimmed(), m_vmOptions->text(),
            m_workingFolder->text().trimmed(), m_libraries};
}

void CRunSettingsDialog::accept() {
    const QString error = jdk::runOptionsError(options());
    if (!error.isEmpty()) {
        fw::prompter().message(error);
        return;
    }
    QDialog::accept();
}
