#include "tools/toolstartfailure.h"

#include "tools/jdkcommands.h"

#include <QFileInfo>

namespace jdk {

namespace {

// The JDK folder that a tool program path was made from: the folder above its bin folder.
QString jdkFolderOf(const QString &program) {
    return folderOf(folderOf(program));
}

QString whereJdkFolderIsSet(const QString &program) {
    const QString jdkFolder = jdkFolderOf(program);
    return QStringLiteral("The JDK folder (%1) is set in File > Preferences.")
        .arg(jdkFolder.isEmpty() ? QStringLiteral("now empty")
                                 : QStringLiteral("now ") + jdkFolder);
}

} // namespace

QString toolStartFailureDetail(const QString &program, const QString &folder) {
    const QFileInfo file(program);
    const QString tool = fileNameOf(program);
    if (!file.exists()) {
        return QStringLiteral("%1 was not found in %2.\n%3")
            .arg(tool, folderOf(program), whereJdkFolderIsSet(program));
    }
    if (!file.isFile() || !file.isExecutable()) {
        return QStringLiteral("%1 is not a program that can be run.\n%2")
            .arg(program, whereJdkFolderIsSet(program));
    }
    if (!QFileInfo(folder).isDir()) {
        return QStringLiteral("The folder %1 to run %2 in does not exist.").arg(folder, tool);
    }
    return {};
}

} // namespace jdk
