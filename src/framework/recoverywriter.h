#pragma once

#include "framework/recoverystore.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace fw {

// Writes and removes a store's entries on a thread of its own, so that the user-interface thread
// never waits for the disk. For each entry only the latest request counts: a text replaced
// before it was written is never written, and a removal asked after a write wins over it.
// Requests still waiting when the writer is destroyed are carried out first.
class RecoveryWriter {
public:
    explicit RecoveryWriter(RecoveryStore &store);
    ~RecoveryWriter();

    RecoveryWriter(const RecoveryWriter &) = delete;
    RecoveryWriter &operator=(const RecoveryWriter &) = delete;

    RecoveryStore &store() const { return m_store; }

    void write(RecoveryEntry entry);
    void remove(const QString &id);
    // Waits until every request made so far has been carried out.
    void flush();

private:
    void run();

    RecoveryStore &m_store;
    std::mutex m_lock;
    std::condition_variable m_wake;
    // By entry id: the text to write, or none to remove the entry.
    std::map<QString, std::optional<RecoveryEntry>> m_pending;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};

// The writer of the running application, or none: then no recovery copies are kept.
RecoveryWriter *recoveryWriter();
void setRecoveryWriter(RecoveryWriter *writer);

} // namespace fw
