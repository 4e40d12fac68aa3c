#include "project/projectrelocation.h"

#include "project/addfilemessages.h"

#include <QDir>

#include <optional>
#include <vector>

namespace projectrelocation {

namespace {

const QChar kSlash = QLatin1Char('/');
const QChar kBackslash = QLatin1Char('\\');

// "C:\...", "c:/...", "C:" or "\\server\share\...": a path written on Windows.
bool isWindowsPath(const QString &path) {
    const bool drive = path.size() >= 2 && path[0].unicode() < 128 && path[0].isLetter()
                       && path[1] == QLatin1Char(':')
                       && (path.size() == 2 || path[2] == kBackslash || path[2] == kSlash);
    return drive || path.startsWith(QStringLiteral("\\\\"));
}

// A path cut into its root and the names of its folders and file. The root is the upper-case
// drive ("C:") or "//" for a Windows path, "/" for an absolute native path, "" for a relative one.
struct SplitPath {
    QString root;
    QStringList names;
    Qt::CaseSensitivity nameCase = Qt::CaseSensitive;
};

SplitPath split(const QString &path) {
    SplitPath result;
    QString rest = path;
    if (isWindowsPath(path)) {
        rest.replace(kBackslash, kSlash);
        result.nameCase = Qt::CaseInsensitive;
        if (rest.startsWith(QStringLiteral("//"))) {
            result.root = QStringLiteral("//");
            rest = rest.mid(2);
        } else {
            result.root = rest.left(2).toUpper();
            rest = rest.mid(2);
        }
    } else if (rest.startsWith(kSlash)) {
        result.root = kSlash;
    }
    for (const QString &name : rest.split(kSlash, Qt::SkipEmptyParts)) {
        if (name != QStringLiteral(".")) {
            result.names << name;
        }
    }
    return result;
}

QString join(const SplitPath &path) {
    const QString names = path.names.join(kSlash);
    if (path.root.isEmpty() || path.root.endsWith(kSlash)) {
        return path.root + names;
    }
    return path.root + kSlash + names;
}

// The names that lead from the folder to the path ("..", then the path's own), or none when
// they are on different drives. A relative path is kept as it is.
std::optional<QStringList> relativeNames(const SplitPath &path, const SplitPath &folder) {
    if (path.root.isEmpty()) {
        return path.names;
    }
    if (path.root != folder.root) {
        return std::nullopt;
    }
    qsizetype common = 0;
    while (common < path.names.size() && common < folder.names.size()
           && path.names[common].compare(folder.names[common], path.nameCase) == 0) {
        ++common;
    }
    QStringList names(folder.names.size() - common, QStringLiteral(".."));
    names << path.names.mid(common);
    return names;
}

// A stored path that does not exist, and where it goes back to.
struct Missing {
    enum class Kind { File, HtmlPage, MainFolder };
    Kind kind;
    qsizetype index; // in the file list, for a file
    QString stored;
    SplitPath split;
};

// The stored folder with `level` of its last names taken off.
SplitPath folderAbove(const SplitPath &folder, qsizetype level) {
    SplitPath above = folder;
    above.names = folder.names.first(folder.names.size() - level);
    return above;
}

} // namespace

QString storedProjectFolder(const ProjectPaths &stored, const QString &mainFilePath) {
    if (!mainFilePath.isEmpty()) {
        SplitPath folder = split(mainFilePath);
        if (!folder.names.isEmpty()) {
            folder.names.removeLast();
            return join(folder);
        }
    }
    if (!stored.mainFolder.isEmpty()) {
        return stored.mainFolder;
    }
    QStringList paths = stored.files;
    paths << stored.htmlPath;
    std::optional<SplitPath> common;
    for (const QString &path : paths) {
        if (path.isEmpty()) {
            continue;
        }
        SplitPath folder = split(path);
        if (!folder.names.isEmpty()) {
            folder.names.removeLast();
        }
        if (!common) {
            common = folder;
            continue;
        }
        if (folder.root != common->root) {
            return {};
        }
        qsizetype same = 0;
        while (same < folder.names.size() && same < common->names.size()
               && folder.names[same].compare(common->names[same], folder.nameCase) == 0) {
            ++same;
        }
        common->names = common->names.first(same);
    }
    return common ? join(*common) : QString();
}

Relocation relocate(const ProjectPaths &stored, const QString &storedFolder,
                    const QString &projectFolder, const Exists &exists) {
    Relocation result{stored, 0, {}};
    std::vector<Missing> missing;
    const auto lookFor = [&](Missing::Kind kind, qsizetype index, const QString &path) {
        if (!path.isEmpty() && !exists(path)) {
            missing.push_back({kind, index, path, split(path)});
        }
    };
    for (qsizetype index = 0; index < stored.files.size(); ++index) {
        lookFor(Missing::Kind::File, index, stored.files[index]);
    }
    lookFor(Missing::Kind::HtmlPage, -1, stored.htmlPath);
    lookFor(Missing::Kind::MainFolder, -1, stored.mainFolder);
    if (missing.empty()) {
        return result;
    }

    // Each folder from the stored one up to its root is tried as the one the project file was
    // in; the first that finds the most is taken.
    const SplitPath folder = split(storedFolder);
    const QString base = QDir::cleanPath(projectFolder);
    std::vector<QString> best(missing.size());
    std::size_t bestCount = 0;
    for (qsizetype level = 0; level <= folder.names.size() && bestCount < missing.size(); ++level) {
        const SplitPath above = folderAbove(folder, level);
        std::vector<QString> found(missing.size());
        std::size_t count = 0;
        for (std::size_t item = 0; item < missing.size(); ++item) {
            const std::optional<QStringList> names = relativeNames(missing[item].split, above);
            if (!names) {
                continue;
            }
            const QString candidate =
                QDir::toNativeSeparators(QDir::cleanPath(base + kSlash + names->join(kSlash)));
            if (exists(candidate)) {
                found[item] = candidate;
                ++count;
            }
        }
        if (count > bestCount) {
            best = std::move(found);
            bestCount = count;
        }
    }

    for (std::size_t item = 0; item < missing.size(); ++item) {
        const Missing &path = missing[item];
        if (best[item].isEmpty()) {
            if (path.kind != Missing::Kind::MainFolder) {
                result.missing << path.stored;
            }
            continue;
        }
        switch (path.kind) {
        case Missing::Kind::File:
            result.paths.files[path.index] = best[item];
            ++result.filesFound;
            break;
        case Missing::Kind::HtmlPage:
            result.paths.htmlPath = best[item];
            ++result.filesFound;
            break;
        case Missing::Kind::MainFolder:
            result.paths.mainFolder = best[item];
            break;
        }
    }
    return result;
}

QString foundNote(int filesFound) {
    return filesFound == 1
               ? QStringLiteral("1 file was found in the project's new folder.")
               : QStringLiteral("%1 files were found in the project's new folder.").arg(filesFound);
}

QString missingMessage(const QStringList &missing) {
    if (missing.size() == 1) {
        return QStringLiteral("This file of the project was not found:\n\n%1\n\nIt stays in the "
                              "project. Add it again from where it is now, or remove it.")
            .arg(missing.first());
    }
    return QStringLiteral("These %1 files of the project were not found:\n\n%2\n\nThey stay in "
                          "the project. Add them again from where they are now, or remove them.")
        .arg(QString::number(missing.size()), addfilemessages::listForMessage(missing));
}

} // namespace projectrelocation
