#include "tools/classfreshness.h"

#include "tools/commandline.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace jdk {

namespace {

// The folder of javac's -d option, or none.
QString outputOption(const QString &javacOptions) {
    const QList<CommandLineArgument> arguments =
        SplitCommandLine(QStringLiteral("javac ") + javacOptions);
    for (qsizetype index = 1; index + 1 < arguments.size(); ++index) {
        if (arguments.at(index).text == QLatin1String("-d")) {
            return arguments.at(index + 1).text;
        }
    }
    return {};
}

} // namespace

QString classOutputFolder(const QString &sourcePath, const QString &package,
                          const QString &javacOptions, const QString &compileFolder) {
    const QString output = outputOption(javacOptions);
    if (output.isEmpty()) {
        return QFileInfo(sourcePath).absolutePath();
    }
    const QString root = QDir(compileFolder).absoluteFilePath(output);
    return QDir::cleanPath(
        package.isEmpty() ? root
                          : root + QLatin1Char('/')
                                + QString(package).replace(QLatin1Char('.'), QLatin1Char('/')));
}

bool isNewerThanClasses(const QString &sourcePath, const QString &classFolder,
                        const QStringList &classNames, bool missingCounts) {
    const QFileInfo source(sourcePath);
    if (!source.exists()) {
        return false;
    }
    const QStringList names =
        classNames.isEmpty() ? QStringList{source.completeBaseName()} : classNames;
    const QDateTime changed = source.lastModified();
    for (const QString &name : names) {
        const QFileInfo classFile(classFolder + QLatin1Char('/') + name + QStringLiteral(".class"));
        if (!classFile.exists() ? missingCounts : classFile.lastModified() < changed) {
            return true;
        }
    }
    return false;
}

} // namespace jdk
