#include "framework/filedropfilter.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace fw {

FileDropFilter::FileDropFilter(QWidget *window, OpenFiles open)
    : QObject(window)
    , m_window(window)
    , m_open(std::move(open)) {
    window->setAcceptDrops(true);
    // Text views take drops of their own; the filter sees the drag before they do.
    qApp->installEventFilter(this);
}

QStringList FileDropFilter::droppedFiles(const QMimeData *data) {
    if (!data || !data->hasUrls()) {
        return {};
    }
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile()) {
            return {};
        }
        paths << url.toLocalFile();
    }
    return paths;
}

bool FileDropFilter::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return false;
    }
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || (widget != m_window && !m_window->isAncestorOf(widget))) {
        return false;
    }
    auto *drop = static_cast<QDropEvent *>(event);
    const QStringList paths = droppedFiles(drop->mimeData());
    if (paths.isEmpty()) {
        return false;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        // Opening may ask questions; the drag source must not wait for them.
        QTimer::singleShot(0, this, [this, paths] { m_open(paths); });
    }
    return true;
}

} // namespace fw
