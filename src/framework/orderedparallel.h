#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace fw {

// The threads a background job over many files uses: one per core, at most four.
inline int backgroundThreads() {
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, 4U));
}

// Runs work(index) (a default-constructible Result) for every index below count on `threads`
// threads, the calling one among them, and gives each result to take(index, result) on the calling
// thread in ascending order of index, as soon as it and every result before it are done. Ends
// early, leaving the rest undone and untaken, once cancelled is set or take returns false; returns
// when every thread is done.
template <typename Result, typename Work, typename Take>
void orderedParallel(std::size_t count, int threads, const std::atomic<bool> &cancelled, Work work,
                     Take take) {
    std::vector<Result> results(count);
    std::vector<char> ready(count, 0);
    std::mutex lock;
    std::condition_variable readied;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    const auto doOne = [&]() -> bool {
        const std::size_t index = next.fetch_add(1);
        if (index >= count || stop.load() || cancelled.load()) {
            return false;
        }
        Result result(work(index));
        {
            const std::lock_guard guard(lock);
            results[index] = std::move(result);
            ready[index] = 1;
        }
        readied.notify_one();
        return true;
    };
    std::vector<std::thread> helpers;
    for (int helper = 1; helper < threads && static_cast<std::size_t>(helper) < count; ++helper) {
        try {
            helpers.emplace_back([&doOne] {
                while (doOne()) {
                }
            });
        } catch (const std::system_error &) {
            break; // fewer threads do the same work
        }
    }
    std::size_t taken = 0;
    bool working = true;
    while (taken < count && !stop.load() && !cancelled.load()) {
        if (working) {
            working = doOne();
        }
        std::unique_lock guard(lock);
        if (!working) {
            // Nothing left to start here: wait for the helpers to finish what they hold.
            readied.wait_for(guard, std::chrono::milliseconds(10),
                             [&] { return ready[taken] != 0 || cancelled.load(); });
        }
        while (taken < count && ready[taken] != 0) {
            Result result = std::move(results[taken]);
            results[taken] = Result();
            guard.unlock();
            if (!take(taken, std::move(result))) {
                stop.store(true);
            }
            ++taken;
            guard.lock();
            if (stop.load()) {
                break;
            }
        }
    }
    stop.store(true);
    for (std::thread &helper : helpers) {
        helper.join();
    }
}

} // namespace fw
