#include "project/projectsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace projectsettings {

namespace {

const QString kArguments = QStringLiteral("Run/Arguments");
const QString kInputFile = QStringLiteral("Run/InputFile");
const QString kVmOptions = QStringLiteral("Run/VmOptions");
const QString kWorkingFolder = QStringLiteral("Run/WorkingFolder");
const QString kLibraries = QStringLiteral("Libraries/Paths");

// A full path as stored: relative to the project's folder when below it.
QString stored(const QDir &folder, const QString &path) {
    if (path.isEmpty()) {
        return path;
    }
    const QString relative = folder.relativeFilePath(path);
    return relative.startsWith(QLatin1String("..")) ? path : relative;
}

QString full(const QDir &folder, const QString &path) {
    return path.isEmpty() ? path : QDir::cleanPath(folder.absoluteFilePath(path));
}

} // namespace

QString settingsPath(const QString &projectPath) {
    return projectPath + QStringLiteral(".ini");
}

bool isEmpty(const jdk::RunOptions &options) {
    return options.arguments.isEmpty() && options.inputFile.isEmpty() && options.vmOptions.isEmpty()
           && options.workingFolder.isEmpty() && options.libraries.isEmpty();
}

jdk::RunOptions load(const QString &projectPath) {
    jdk::RunOptions options;
    const QString path = settingsPath(projectPath);
    if (!QFileInfo(path).isFile()) {
        return options;
    }
    const QSettings file(path, QSettings::IniFormat);
    const QDir folder = QFileInfo(projectPath).absoluteDir();
    options.arguments = file.value(kArguments).toString();
    options.inputFile = full(folder, file.value(kInputFile).toString());
    options.vmOptions = file.value(kVmOptions).toString();
    options.workingFolder = full(folder, file.value(kWorkingFolder).toString());
    for (const QString &library : file.value(kLibraries).toStringList()) {
        options.libraries << full(folder, library);
    }
    return options;
}

bool store(const QString &projectPath, const jdk::RunOptions &options, QString *error) {
    const QString path = settingsPath(projectPath);
    if (isEmpty(options)) {
        QFile file(path);
        if (file.exists() && !file.remove()) {
            *error = file.errorString();
            return false;
        }
        return true;
    }
    const QDir folder = QFileInfo(projectPath).absoluteDir();
    QStringList libraries;
    for (const QString &library : options.libraries) {
        libraries << stored(folder, library);
    }
    QSettings file(path, QSettings::IniFormat);
    file.clear();
    // Only what is set is written: the file says no more than the user chose.
    const auto setIfAny = [&file](const QString &key, const auto &value) {
        if (!value.isEmpty()) {
            file.setValue(key, value);
        }
    };
    setIfAny(kArguments, options.arguments);
    setIfAny(kInputFile, stored(folder, options.inputFile));
    setIfAny(kVmOptions, options.vmOptions);
    setIfAny(kWorkingFolder, stored(folder, options.workingFolder));
    setIfAny(kLibraries, libraries);
    file.sync();
    if (file.status() != QSettings::NoError) {
        *error = QStringLiteral("The file %1 could not be written.").arg(path);
        return false;
    }
    return true;
}

} // namespace projectsettings
