#include "framework/recoverywriter.h"

#include <utility>

namespace fw {

namespace {
// Set and read on the user-interface thread only.
RecoveryWriter *&installedWriter() {
    static RecoveryWriter *writer = nullptr;
    return writer;
}
} // namespace

RecoveryWriter *recoveryWriter() {
    return installedWriter();
}

void setRecoveryWriter(RecoveryWriter *writer) {
    installedWriter() = writer;
}

RecoveryWriter::RecoveryWriter(RecoveryStore &store)
    : m_store(store)
    , m_thread([this] { run(); }) {}

RecoveryWriter::~RecoveryWriter() {
    {
        const std::lock_guard guard(m_lock);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void RecoveryWriter::write(RecoveryEntry entry) {
    {
        const std::lock_guard guard(m_lock);
        const QString id = entry.id;
        m_pending.insert_or_assign(id, std::move(entry));
    }
    m_wake.notify_all();
}

void RecoveryWriter::remove(const QString &id) {
    {
        const std::lock_guard guard(m_lock);
        m_pending.insert_or_assign(id, std::nullopt);
    }
    m_wake.notify_all();
}

void RecoveryWriter::flush() {
    std::unique_lock guard(m_lock);
    m_wake.wait(guard, [this] { return m_pending.empty() && !m_busy; });
}

void RecoveryWriter::run() {
    std::unique_lock guard(m_lock);
    for (;;) {
        m_wake.wait(guard, [this] { return m_stopping || !m_pending.empty(); });
        if (m_pending.empty()) {
            return; // stopping, with nothing left to do
        }
        auto request = m_pending.extract(m_pending.begin());
        m_busy = true;
        guard.unlock();
        if (request.mapped()) {
            // A copy that cannot be written leaves the last one; the next edit tries again.
            m_store.write(*request.mapped());
        } else {
            m_store.remove(request.key());
        }
        guard.lock();
        m_busy = false;
        m_wake.notify_all();
    }
}

} // namespace fw
