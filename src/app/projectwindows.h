#pragma once

#include <QString>
#include <QStringList>

namespace fw {
class MainWindow;
class Profile;
} // namespace fw

// The source and HTML windows that were open with the last project, so that reopening the
// project at the next start brings them back. Kept in a section of its own beside the project
// path they belong to; the other settings keys are not touched.
namespace projectwindows {

// The files of the open source and HTML documents, in the order their first windows were
// opened: each document once, never-saved ones left out.
QStringList openFiles(const fw::MainWindow &mainWindow);

// Remembers the files as those open with the project; an empty project path forgets them.
void save(fw::Profile &profile, const QString &projectPath, const QStringList &files);

// The files remembered with that project, in their order; none when the list belongs to
// another project.
QStringList load(const fw::Profile &profile, const QString &projectPath);

} // namespace projectwindows
