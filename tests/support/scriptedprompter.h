#pragma once

#include "framework/prompter.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <utility>
#include <vector>

namespace testing_support {

// The test double of the Prompter: answers every message box and dialog as the test scripted
// it, and records what was asked. Unscripted questions are answered with Cancel (No for Yes/No),
// unscripted OK boxes with OK, unscripted file dialogs and choosers as cancelled, and unscripted
// modal dialogs as rejected.
class ScriptedPrompter : public fw::Prompter {
public:
    struct Message {
        QString text;
        fw::MessageButtons buttons;
    };
    using DialogScript = std::function<int(QDialog &)>;

    // Installs a fresh scripted prompter for the lifetime of the returned guard.
    class Installed {
    public:
        Installed();
        ~Installed();
        ScriptedPrompter &operator*() const { return *m_prompter; }
        ScriptedPrompter *operator->() const { return m_prompter; }

    private:
        ScriptedPrompter *m_prompter;
        std::unique_ptr<fw::Prompter> m_previous;
    };

    void answerNext(fw::Answer answer) { m_answers.push_back(answer); }
    void chooseFilesNext(const QStringList &files) { m_openFiles.push_back(files); }
    void saveAsNext(const QString &path) { m_saveFiles.push_back(path); }
    void chooseFontNext(const QFont &font) { m_fonts.push_back(font); }
    void chooseColourNext(const QColor &colour) { m_colours.push_back(colour); }
    void chooseFolderNext(const QString &folder) { m_folders.push_back(folder); }
    void runDialogNext(DialogScript script) { m_dialogs.push_back(std::move(script)); }

    const std::vector<Message> &messages() const { return m_messages; }
    QStringList messageTexts() const;
    const std::vector<fw::FileDialogOptions> &fileDialogs() const { return m_fileDialogs; }
    int dialogsRun() const { return m_dialogsRun; }
    // The colour each colour chooser started at, the font each font chooser started at, and the
    // title of each folder chooser.
    const std::vector<QColor> &colourChooserStarts() const { return m_colourStarts; }
    const std::vector<QFont> &fontChooserStarts() const { return m_fontStarts; }
    const QStringList &folderChooserTitles() const { return m_folderTitles; }
    void clear();

    fw::Answer message(const QString &text, fw::MessageButtons buttons) override;
    QStringList openFiles(const fw::FileDialogOptions &options) override;
    QString saveFile(const fw::FileDialogOptions &options) override;
    std::optional<QFont> chooseFont(const QFont &initial) override;
    std::optional<QColor> chooseColour(const QColor &initial) override;
    QString chooseFolder(const QString &title) override;
    int runDialog(QDialog &dialog) override;

private:
    std::deque<fw::Answer> m_answers;
    std::deque<QStringList> m_openFiles;
    std::deque<QString> m_saveFiles;
    std::deque<QFont> m_fonts;
    std::deque<QColor> m_colours;
    std::deque<QString> m_folders;
    std::deque<DialogScript> m_dialogs;
    std::vector<Message> m_messages;
    std::vector<fw::FileDialogOptions> m_fileDialogs;
    std::vector<QColor> m_colourStarts;
    std::vector<QFont> m_fontStarts;
    QStringList m_folderTitles;
    int m_dialogsRun = 0;
};

// Answers as scripted, after doing, while the question is up, what a user may do meanwhile
// (once, for the next question).
class MeanwhilePrompter : public ScriptedPrompter {
public:
    std::function<void()> meanwhile;

    fw::Answer message(const QString &text, fw::MessageButtons buttons) override {
        if (const std::function<void()> action = std::exchange(meanwhile, nullptr)) {
            action();
        }
        return ScriptedPrompter::message(text, buttons);
    }
};

} // namespace testing_support
