#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Finds the files of a project whose folder was renamed, copied, cloned or brought from another
// machine. A project file stores full paths; when one no longer exists, the file is looked for at
// the same place relative to the project's folder as it is now. Paths written on Windows (a drive
// letter of either case, backslashes) are read the same way, their names compared without regard
// to case as Windows does. Pure: the file system is only asked through the given predicate.
namespace projectrelocation {

// The paths a project file stores.
struct ProjectPaths {
    QStringList files;
    QString htmlPath;
    QString mainFolder;
};

struct Relocation {
    // The stored paths, each one that had moved replaced by where it was found.
    ProjectPaths paths;
    // How many files (the HTML page included) were found in the project's new folder.
    int filesFound = 0;
    // The stored paths of the files found nowhere, the HTML page last.
    QStringList missing;
};

using Exists = std::function<bool(const QString &path)>;

// The folder the stored paths are taken relative to: the main file's folder, else the stored
// main folder, else the folder all the stored paths have in common ("" when they have none).
QString storedProjectFolder(const ProjectPaths &stored, const QString &mainFilePath);

// Where the stored paths are now. A path that exists stays as it is. A path that does not is
// taken relative to storedFolder, or to one of the folders above it, and that relative path
// is looked for below projectFolder (the folder the project file is in now). One such folder
// serves for the whole project, since the files moved together: the one that finds the most,
// the nearest on a tie. A project laid out in package folders keeps its project file above the
// main file's folder, and is found that way. A relative stored path is looked for below
// projectFolder as it is.
Relocation relocate(const ProjectPaths &stored, const QString &storedFolder,
                    const QString &projectFolder, const Exists &exists);

// The status-bar note that says how many files were found in the project's new folder.
QString foundNote(int filesFound);
// The one message that names the files found nowhere when the project opens.
QString missingMessage(const QStringList &missing);

} // namespace projectrelocation
