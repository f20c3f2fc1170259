#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "live/ForecastSource.h"
#include "live/LiveSchedule.h"

namespace zonbode::live {

// One long-lived thread that fetches the forecast page, one fetch at a time, and sleeps on a
// condition variable between tries: `refresh` after a good fetch; after failures
// `firstRetry`, doubling up to `longestRetry`. It also wakes at a deadline its owner sets, for
// the page server's connections. Nothing polls.
class RefreshWorker {
public:
    struct Outcome {
        PageFetch fetch;
        ForecastSource source;                          // what was fetched
        std::chrono::system_clock::time_point nextTry;  // when the next fetch comes
    };
    // Both run on the worker's thread, never after the destructor has begun; owners hand the
    // news to their loop (EventLoop::PostTask).
    struct Handlers {
        std::function<void(Outcome)> fetched;
        std::function<void()> deadlinePassed;
    };

    // The first fetch comes after `firstWait` (zero: at once).
    RefreshWorker(ForecastSource source, LiveSchedule schedule, Handlers handlers,
                  std::chrono::milliseconds firstWait = {});
    // Returns at once: a fetch under way is abandoned (its outcome is never handed over).
    ~RefreshWorker();
    RefreshWorker(const RefreshWorker&) = delete;
    RefreshWorker& operator=(const RefreshWorker&) = delete;

    // Fetches for `source` now, or right after the fetch under way.
    void SetSource(ForecastSource source);
    // When deadlinePassed should run next; none: never.
    void WakeAt(std::optional<std::chrono::steady_clock::time_point> deadline);

private:
    struct Shared;
    static void Run(std::shared_ptr<Shared> shared);
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace zonbode::live
