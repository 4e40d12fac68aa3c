#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace fw {

// Runs one piece of work at a time on a worker thread of its own and hands its result to a
// function called on the thread the object lives on. A new start, stop() or the object's end
// abandons the work under way (waiting for it to return): its result is dropped. The work runs
// without the object, so it must take copies of what it reads.
class BackgroundTask : public QObject {
public:
    BackgroundTask() = default;
    ~BackgroundTask() override;

    template <typename Result>
    void start(std::function<Result()> work, std::function<void(Result)> done) {
        startWork([work = std::move(work), done = std::move(done)]() -> std::function<void()> {
            return [result = work(), done]() mutable { done(std::move(result)); };
        });
    }
    void stop();
    bool isRunning() const { return m_running; }

private:
    // work runs on the worker and gives what is to be done on the object's thread.
    void startWork(std::function<std::function<void()>()> work);

    std::thread m_worker;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    bool m_running = false;
};

} // namespace fw
