#include "support/appharness.h"

#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "framework/profile.h"
#include "services/appsettings.h"
#include "support/testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testing_support {

AppHarness::AppHarness(const QStringList &files, const Presets &presets,
                       const StartScript &startScript)
    : m_folder(makeScratchFolder(QStringLiteral("app")))
    , m_settingsFile(m_folder + QStringLiteral("/settings/Tarvo.conf")) {
    if (presets) {
        fw::Profile profile(m_settingsFile);
        presets(profile);
        profile.sync();
    }
    if (startScript) {
        startScript(*m_prompter);
    }
    m_app = std::make_unique<CKetrelApp>(std::make_unique<fw::Profile>(m_settingsFile));
    m_started = m_app->InitInstance(files);
    processEvents();
}

AppHarness::~AppHarness() {
    m_app.reset();
    processEvents();
}

CMainFrame &AppHarness::mainFrame() const {
    return *m_app->mainFrame();
}

bool AppHarness::useRealJdk() const {
    const QString jdk = AppSettings::defaultJdkFolder();
    if (!QFileInfo(jdk + QStringLiteral("/bin/javac")).isExecutable()) {
        return false;
    }
    m_app->settings().jdkFolder = jdk;
    return true;
}

QString AppHarness::writeFile(const QString &name, const QByteArray &bytes) const {
    return writeFileIn(m_folder, name, bytes);
}

std::unique_ptr<fw::Profile> AppHarness::storedSettings() const {
    return std::make_unique<fw::Profile>(m_settingsFile);
}

void AppHarness::processEvents() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

} // namespace testing_support
