#pragma once

#include "model/cjavaclasslist.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

// What the scanner finds in a file's text: the classes, methods and inner classes that the
// project would hold for it after its source window scanned it on opening (the same decoding,
// the same scanner, the same rules for the reports).
CJavaClassList scanSourceClasses(const QByteArray &bytes);
// The same for a file on disk; none when it cannot be read.
std::optional<CJavaClassList> scanSourceFile(const QString &path);

// One file scanned in the background.
struct ScannedFile {
    QString path;
    CJavaClassList classes;
};
using ScannedFiles = std::vector<ScannedFile>;

// Scans files on a worker thread of its own and hands what it found, in batches and in the
// order of the paths, to the thread the object lives on: a batch arrives through `scanned` at
// least every kBatchMs while the scan lasts, and `finished` follows the last one. Files that
// cannot be read are left out. A new start, stop() or the object's end abandons the scan under
// way: nothing more of it arrives.
class ProjectScan : public QObject {
    Q_OBJECT

public:
    static constexpr int kBatchMs = 100;

    ProjectScan();
    ~ProjectScan() override;

    void start(const QStringList &paths);
    void stop();
    bool isRunning() const { return m_running; }

Q_SIGNALS:
    void scanned(std::shared_ptr<ScannedFiles> files);
    void finished();

private:
    void run(QStringList paths, std::shared_ptr<std::atomic<bool>> cancelled);

    std::thread m_worker;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    bool m_running = false;
};
