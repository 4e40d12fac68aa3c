#pragma once

#include "support/scriptedprompter.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CKetrelApp;
class CMainFrame;

namespace fw {
class Profile;
}

namespace testing_support {

// A running Tarvo for GUI tests: the application object started with its own settings file in
// a scratch folder, its main window shown offscreen, and the scripted prompter installed.
class AppHarness {
public:
    using Presets = std::function<void(fw::Profile &)>;
    // Scripts the prompter for questions asked during the start.
    using StartScript = std::function<void(ScriptedPrompter &)>;

    explicit AppHarness(const QStringList &files = {}, const Presets &presets = {},
                        const StartScript &startScript = {});
    ~AppHarness();

    AppHarness(const AppHarness &) = delete;
    AppHarness &operator=(const AppHarness &) = delete;

    CKetrelApp &app() const { return *m_app; }
    CMainFrame &mainFrame() const;
    ScriptedPrompter &prompter() const { return *m_prompter; }
    const QString &folder() const { return m_folder; }
    const QString &settingsFile() const { return m_settingsFile; }
    bool started() const { return m_started; }

    // Sets the JDK folder to the JDK installed here; false when there is none (the test skips).
    bool useRealJdk() const;
    // Writes a file below the scratch folder and returns its full path.
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    // A fresh view of the settings file as it is on disk now.
    std::unique_ptr<fw::Profile> storedSettings() const;

    // Lets queued events run, deferred deletions included.
    static void processEvents();

private:
    QString m_folder;
    QString m_settingsFile;
    ScriptedPrompter::Installed m_prompter;
    std::unique_ptr<CKetrelApp> m_app;
    bool m_started = false;
};

} // namespace testing_support
