#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

namespace fw {

// Makes a window take files dropped anywhere on it, its text views included: a drag that
// carries local files only is accepted, and its drop hands the files, in the drag's order, to
// the open function once the drop itself has finished. Other drags (text, remote links) go to
// the widgets as before.
class FileDropFilter : public QObject {
    Q_OBJECT

public:
    using OpenFiles = std::function<void(const QStringList &paths)>;

    // Watches window and everything inside it; it is owned by window.
    FileDropFilter(QWidget *window, OpenFiles open);

    // The local files a drag carries, or none when it carries anything else as well.
    static QStringList droppedFiles(const QMimeData *data);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    OpenFiles m_open;
};

} // namespace fw
