#include "project/projectscan.h"

#include "editors/sourcetext.h"
#include "framework/fileio.h"
#include "framework/orderedparallel.h"
#include "model/classcollector.h"
#include "model/javasourcescanner.h"

#include <QElapsedTimer>
#include <QMetaObject>

CJavaClassList scanSourceClasses(const QByteArray &bytes) {
    const editors::SourceText source = editors::decodeSourceFile(bytes);
    ClassCollector collector;
    JavaSourceScanner scanner;
    scanner.ScanSource(editors::toCrLfText(source.text), QString(), &collector);
    return std::move(collector.classes());
}

std::optional<CJavaClassList> scanSourceFile(const QString &path) {
    QByteArray bytes;
    QString error;
    if (!fw::readWholeFile(path, &bytes, &error)) {
        return std::nullopt;
    }
    return scanSourceClasses(bytes);
}

ProjectScan::ProjectScan() = default;

ProjectScan::~ProjectScan() {
    stop();
}

void ProjectScan::start(const QStringList &paths) {
    stop();
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    m_running = true;
    m_worker = std::thread(&ProjectScan::run, this, paths, m_cancelled);
}

void ProjectScan::stop() {
    if (m_cancelled) {
        m_cancelled->store(true);
    }
    // The worker only ever posts to this object, so it must be gone before the object is.
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_running = false;
}

void ProjectScan::run(QStringList paths, std::shared_ptr<std::atomic<bool>> cancelled) {
    auto batch = std::make_shared<ScannedFiles>();
    // A batch is handed over on the object's thread only while the scan it belongs to goes on.
    const auto handOver = [this, &batch, cancelled](bool last) {
        QMetaObject::invokeMethod(
            this,
            [this, files = std::exchange(batch, std::make_shared<ScannedFiles>()), cancelled,
             last] {
                if (cancelled->load()) {
                    return;
                }
                if (!files->empty()) {
                    Q_EMIT scanned(files);
                }
                if (last) {
                    m_running = false;
                    Q_EMIT finished();
                }
            },
            Qt::QueuedConnection);
    };
    QElapsedTimer sinceHandOver;
    sinceHandOver.start();
    // Files are read and scanned on several threads; their classes are handed over in order.
    fw::orderedParallel<std::optional<CJavaClassList>>(
        static_cast<std::size_t>(paths.size()), fw::backgroundThreads(), *cancelled,
        [&paths](std::size_t index) {
            return scanSourceFile(paths.at(static_cast<qsizetype>(index)));
        },
        [&](std::size_t index, std::optional<CJavaClassList> &&classes) {
            if (classes) {
                batch->push_back(
                    ScannedFile{paths.at(static_cast<qsizetype>(index)), std::move(*classes)});
            }
            if (sinceHandOver.elapsed() >= kBatchMs) {
                handOver(false);
                sinceHandOver.restart();
            }
            return true;
        });
    if (cancelled->load()) {
        return;
    }
    handOver(true);
}
