#pragma once

#include <QString>

#include <functional>

namespace testing_support {

// A temporary folder made for the whole test run; settings, homes and scratch files of the
// tests live below it and it is removed when the run ends.
QString runFolder();

// Points QSettings and the XDG folders at the run folder so that no test touches the user's
// own settings. Called by both test mains before any test runs.
void isolateSettings();

// A fresh, empty folder below the run folder for one test.
QString makeScratchFolder(const QString &name);

// Writes a file (and the folders it needs) below folder; returns its full path.
QString writeFileIn(const QString &folder, const QString &name, const QByteArray &bytes);

// The JDK the tests run: JAVA_HOME when set, else the one /usr/bin/javac belongs to. Tests skip
// when it holds no bin/javac.
QString installedJdk();

// Runs the event loop until condition holds or timeoutMs have passed; whether it holds.
bool processEventsUntil(const std::function<bool()> &condition, int timeoutMs = 120000);

} // namespace testing_support
