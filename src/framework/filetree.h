#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace fw {

// Told the number of files found so far after each folder; returns false to stop the walk.
using WalkProgress = std::function<bool(int found)>;

// The full paths of the files whose names match one of the patterns (wildcards as in a file
// dialog, case-sensitive) in folder and every folder below it, the files of a folder sorted by
// name and before those of its subfolders. Hidden folders and files are passed over, and no
// symbolic link is followed, so that a link back up the tree cannot make the walk endless. Empty
// when the walk was stopped.
QStringList filesBelow(const QString &folder, const QStringList &patterns,
                       const WalkProgress &progress = {});

} // namespace fw
