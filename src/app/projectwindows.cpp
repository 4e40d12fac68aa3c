#include "app/projectwindows.h"

#include "framework/document.h"
#include "framework/frame.h"
#include "framework/mainwindow.h"
#include "framework/profile.h"
#include "project/cjavaprojectdoc.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

namespace projectwindows {

namespace {
const QString kSection = QStringLiteral("Last Project Windows");
const QString kProjectKey = QStringLiteral("Project");
const QString kCountKey = QStringLiteral("Count");
// Never more than this many are remembered, so a damaged count cannot make start-up crawl.
constexpr int kMostFiles = 256;

QString fileKey(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}
} // namespace

QStringList openFiles(const fw::MainWindow &mainWindow) {
    QStringList files;
    for (QMdiSubWindow *window : mainWindow.mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        auto *frame = qobject_cast<fw::Frame *>(window->widget());
        fw::Document *document = frame ? frame->document() : nullptr;
        if (!document || dynamic_cast<CJavaProjectDoc *>(document) || document->pathName().isEmpty()
            || files.contains(document->pathName())) {
            continue;
        }
        files << document->pathName();
    }
    return files.mid(0, kMostFiles);
}

void save(fw::Profile &profile, const QString &projectPath, const QStringList &files) {
    const int previous = std::clamp(profile.readInt(kSection, kCountKey, 0), 0, kMostFiles);
    const QStringList kept = projectPath.isEmpty() ? QStringList() : files.mid(0, kMostFiles);
    profile.writeString(kSection, kProjectKey, projectPath);
    profile.writeInt(kSection, kCountKey, static_cast<int>(kept.size()));
    for (int index = 0; index < kept.size(); ++index) {
        profile.writeString(kSection, fileKey(index), kept.at(index));
    }
    for (int index = static_cast<int>(kept.size()); index < previous; ++index) {
        profile.remove(kSection, fileKey(index));
    }
}

QStringList load(const fw::Profile &profile, const QString &projectPath) {
    if (projectPath.isEmpty() || profile.readString(kSection, kProjectKey) != projectPath) {
        return {};
    }
    const int count = std::clamp(profile.readInt(kSection, kCountKey, 0), 0, kMostFiles);
    QStringList files;
    for (int index = 0; index < count; ++index) {
        const QString file = profile.readString(kSection, fileKey(index));
        if (!file.isEmpty()) {
            files << file;
        }
    }
    return files;
}

} // namespace projectwindows
