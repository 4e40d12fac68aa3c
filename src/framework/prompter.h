#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QDialog;

namespace fw {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// What a file dialog is asked for. The filter uses the dialog filter form
// "Java Source Files (*.jav;*.java)|*.jav;*.java|All Files (*.*)|*.*||".
struct FileDialogOptions {
    QString title;
    QString filter;
    QString defaultExtension; // without the dot; appended when the user types none
    QString initialName;
    QString initialFolder;
    bool overwritePrompt = false;
    bool allowMultiple = false;
};

// Every message box and every standard or modal dialog goes through the one Prompter, so that
// tests can answer them: the real one shows Qt dialogs, the scripted test double answers as
// the test says and records what was asked.
class Prompter {
public:
    virtual ~Prompter();

    virtual Answer message(const QString &text, MessageButtons buttons = MessageButtons::Ok) = 0;
    // The chosen files in the dialog's order; empty when cancelled.
    virtual QStringList openFiles(const FileDialogOptions &options) = 0;
    // The chosen path; empty when cancelled.
    virtual QString saveFile(const FileDialogOptions &options) = 0;
    virtual std::optional<QFont> chooseFont(const QFont &initial) = 0;
    virtual std::optional<QColor> chooseColour(const QColor &initial) = 0;
    // The chosen folder; empty when cancelled.
    virtual QString chooseFolder(const QString &title) = 0;
    // Shows a modal dialog and returns its result (QDialog::Accepted or Rejected).
    virtual int runDialog(QDialog &dialog) = 0;
};

Prompter &prompter();
// Installs a prompter and returns the one it replaces.
std::unique_ptr<Prompter> setPrompter(std::unique_ptr<Prompter> prompter);

// "Name (*.a;*.b)|*.a;*.b|...||" as Qt's name filter list ("Name (*.a *.b)").
QStringList qtNameFilters(const QString &dialogFilter);

// The prompter that shows real Qt dialogs, owned by the main window's application.
class QtPrompter : public Prompter {
public:
    Answer message(const QString &text, MessageButtons buttons) override;
    QStringList openFiles(const FileDialogOptions &options) override;
    QString saveFile(const FileDialogOptions &options) override;
    std::optional<QFont> chooseFont(const QFont &initial) override;
    std::optional<QColor> chooseColour(const QColor &initial) override;
    QString chooseFolder(const QString &title) override;
    int runDialog(QDialog &dialog) override;
};

} // namespace fw
