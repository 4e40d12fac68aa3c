#include "support/scriptedprompter.h"

#include <QDialog>

namespace testing_support {

namespace {
template <typename T>
std::optional<T> takeFront(std::deque<T> &queue) {
    if (queue.empty()) {
        return std::nullopt;
    }
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}
} // namespace

ScriptedPrompter::Installed::Installed()
    : m_prompter(new ScriptedPrompter)
    , m_previous(fw::setPrompter(std::unique_ptr<fw::Prompter>(m_prompter))) {}

ScriptedPrompter::Installed::~Installed() {
    fw::setPrompter(std::move(m_previous));
}

QStringList ScriptedPrompter::messageTexts() const {
    QStringList texts;
    for (const Message &message : m_messages) {
        texts << message.text;
    }
    return texts;
}

void ScriptedPrompter::clear() {
    m_messages.clear();
    m_fileDialogs.clear();
    m_colourStarts.clear();
    m_fontStarts.clear();
    m_folderTitles.clear();
    m_dialogsRun = 0;
}

fw::Answer ScriptedPrompter::message(const QString &text, fw::MessageButtons buttons) {
    m_messages.push_back({text, buttons});
    if (std::optional<fw::Answer> answer = takeFront(m_answers)) {
        return *answer;
    }
    switch (buttons) {
    case fw::MessageButtons::Ok:
        return fw::Answer::Ok;
    case fw::MessageButtons::YesNo:
        return fw::Answer::No;
    default:
        return fw::Answer::Cancel;
    }
}

QStringList ScriptedPrompter::openFiles(const fw::FileDialogOptions &options) {
    m_fileDialogs.push_back(options);
    return takeFront(m_openFiles).value_or(QStringList());
}

QString ScriptedPrompter::saveFile(const fw::FileDialogOptions &options) {
    m_fileDialogs.push_back(options);
    return takeFront(m_saveFiles).value_or(QString());
}

std::optional<QFont> ScriptedPrompter::chooseFont(const QFont &initial) {
    m_fontStarts.push_back(initial);
    return takeFront(m_fonts);
}

std::optional<QColor> ScriptedPrompter::chooseColour(const QColor &initial) {
    m_colourStarts.push_back(initial);
    return takeFront(m_colours);
}

QString ScriptedPrompter::chooseFolder(const QString &title) {
    m_folderTitles << title;
    return takeFront(m_folders).value_or(QString());
}

int ScriptedPrompter::runDialog(QDialog &dialog) {
    ++m_dialogsRun;
    if (std::optional<DialogScript> script = takeFront(m_dialogs)) {
        return (*script)(dialog);
    }
    return QDialog::Rejected;
}

} // namespace testing_support
