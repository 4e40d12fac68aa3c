#include "framework/backgroundtask.h"

#include <QMetaObject>

namespace fw {

BackgroundTask::~BackgroundTask() {
    stop();
}

void BackgroundTask::startWork(std::function<std::function<void()>()> work) {
    stop();
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    m_running = true;
    m_worker = std::thread([this, work = std::move(work), cancelled = m_cancelled] {
        std::function<void()> done = work();
        QMetaObject::invokeMethod(
            this,
            [this, done = std::move(done), cancelled] {
                if (cancelled->load()) {
                    return;
                }
                m_running = false;
                done();
            },
            Qt::QueuedConnection);
    });
}

void BackgroundTask::stop() {
    if (m_cancelled) {
        m_cancelled->store(true);
    }
    // The worker only ever posts to this object, so it must be gone before the object is.
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_running = false;
}

} // namespace fw
