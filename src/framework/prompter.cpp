#include "framework/prompter.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QRegularExpression>

namespace fw {

namespace {

std::unique_ptr<Prompter> &installedPrompter() {
    static std::unique_ptr<Prompter> current = std::make_unique<QtPrompter>();
    return current;
}

QWidget *dialogParent() {
    if (QWidget *active = QApplication::activeWindow()) {
        return active;
    }
    // Right after another box has closed no window may be active yet: the next box still
    // belongs over the application's main window, not in the middle of the screen.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->isVisible() && qobject_cast<QMainWindow *>(window)) {
            return window;
        }
    }
    return nullptr;
}

QString messageCaption() {
    return QApplication::applicationDisplayName();
}

// The folder the last file dialog ended in: the next one starts there unless it is told
// otherwise, as the desktop's dialogs do.
QString &lastFolder() {
    static QString folder;
    return folder;
}

void rememberFolder(const QFileDialog &dialog) {
    lastFolder() = dialog.directory().absolutePath();
}

void applyOptions(QFileDialog &dialog, const FileDialogOptions &options) {
    if (!options.title.isEmpty()) {
        dialog.setWindowTitle(options.title);
    }
    const QStringList filters = qtNameFilters(options.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    dialog.setDefaultSuffix(options.defaultExtension);
    if (!options.initialFolder.isEmpty()) {
        dialog.setDirectory(options.initialFolder);
    } else if (!lastFolder().isEmpty()) {
        dialog.setDirectory(lastFolder());
    }
    if (!options.initialName.isEmpty()) {
        dialog.selectFile(options.initialName);
    }
}

} // namespace

Prompter::~Prompter() = default;

Prompter &prompter() {
    return *installedPrompter();
}

std::unique_ptr<Prompter> setPrompter(std::unique_ptr<Prompter> prompter) {
    std::unique_ptr<Prompter> previous = std::move(installedPrompter());
    installedPrompter() = std::move(prompter);
    return previous;
}

QStringList qtNameFilters(const QString &dialogFilter) {
    QStringList parts = dialogFilter.split(QLatin1Char('|'));
    while (!parts.isEmpty() && parts.last().isEmpty()) {
        parts.removeLast();
    }
    static const QRegularExpression ownPatterns(QStringLiteral("\\s*\\([^)]*\\)\\s*$"));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts.at(i);
        name.remove(ownPatterns);
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns) {
            if (pattern == QLatin1String("*.*")) {
                pattern = QStringLiteral("*"); // files without an extension too
            }
        }
        filters << name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

Answer QtPrompter::message(const QString &text, MessageButtons buttons) {
    QMessageBox box(dialogParent());
    box.setWindowTitle(messageCaption());
    box.setText(text);
    switch (buttons) {
    case MessageButtons::Ok:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QStringList QtPrompter::openFiles(const FileDialogOptions &options) {
    QFileDialog dialog(dialogParent());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(options.allowMultiple ? QFileDialog::ExistingFiles
                                             : QFileDialog::ExistingFile);
    applyOptions(dialog, options);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    rememberFolder(dialog);
    return dialog.selectedFiles();
}

QString QtPrompter::saveFile(const FileDialogOptions &options) {
    QFileDialog dialog(dialogParent());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.overwritePrompt);
    applyOptions(dialog, options);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    rememberFolder(dialog);
    return dialog.selectedFiles().constFirst();
}

std::optional<QFont> QtPrompter::chooseFont(const QFont &initial) {
    // Start on the family the font really resolves to ("Courier New" may be shown by a
    // metric-compatible face), so that the dialog selects it rather than its first family.
    QFont resolved = initial;
    resolved.setFamily(QFontInfo(initial).family());
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, resolved, dialogParent());
    if (!ok) {
        return std::nullopt;
    }
    return font;
}

std::optional<QColor> QtPrompter::chooseColour(const QColor &initial) {
    const QColor colour = QColorDialog::getColor(initial, dialogParent());
    if (!colour.isValid()) {
        return std::nullopt;
    }
    return colour;
}

QString QtPrompter::chooseFolder(const QString &title) {
    return QFileDialog::getExistingDirectory(dialogParent(), title);
}

int QtPrompter::runDialog(QDialog &dialog) {
    return dialog.exec();
}

} // namespace fw
