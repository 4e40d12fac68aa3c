#include "project/debugbreakpoints.h"

#include "editors/breakpointstore.h"
#include "tools/javapackage.h"

#include <QFile>
#include <QFileInfo>

namespace debugging {

QString sourcePathOf(const QString &filePath, const QString &text) {
    QString source = text;
    if (source.isNull()) {
        QFile file(filePath);
        if (file.open(QIODevice::ReadOnly)) {
            source = QString::fromUtf8(file.readAll());
        }
    }
    const QString package = jdk::declaredPackage(source);
    const QString name = QFileInfo(filePath).fileName();
    if (package.isEmpty()) {
        return name;
    }
    return QString(package).replace(QLatin1Char('.'), QLatin1Char('/')) + QLatin1Char('/') + name;
}

QList<javaservice::DebugBreakpoint> breakpointsOf(const QString &filePath,
                                                  const QList<int> &lines) {
    QList<javaservice::DebugBreakpoint> breakpoints;
    if (lines.isEmpty()) {
        return breakpoints;
    }
    const QString sourcePath = sourcePathOf(filePath);
    for (const int line : lines) {
        breakpoints.append({sourcePath, line});
    }
    return breakpoints;
}

QList<javaservice::DebugBreakpoint> allBreakpoints() {
    QList<javaservice::DebugBreakpoint> breakpoints;
    const BreakpointStore &store = BreakpointStore::instance();
    for (const QString &path : store.files()) {
        breakpoints += breakpointsOf(path, store.lines(path));
    }
    return breakpoints;
}

bool hasVariableNames(const QString &classFilePath) {
    QFile file(classFilePath);
    // The attribute's name is in the class's constant pool once any method carries one.
    return file.open(QIODevice::ReadOnly) && file.readAll().contains("LocalVariableTable");
}

} // namespace debugging
