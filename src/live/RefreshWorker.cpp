#include "live/RefreshWorker.h"

#include <algorithm>
#include <mutex>

namespace zonbode::live {

using SteadyClock = std::chrono::steady_clock;

// What the thread and its owner share. The thread holds it too, so an abandoned fetch can
// finish after the owner has gone.
struct RefreshWorker::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    ForecastSource source;
    LiveSchedule schedule;
    Handlers handlers;
    SteadyClock::time_point nextFetch;
    std::optional<SteadyClock::time_point> deadline;
    std::chrono::milliseconds lastRetry{0};
    int sourceChanges = 0;  // counts SetSource calls, so a fetch knows it was replaced
    bool stop = false;
    bool fetching = false;
};

namespace {

std::chrono::milliseconds NextWait(const LiveSchedule& schedule, bool ok,
                                   std::chrono::milliseconds& lastRetry) {
    if (ok) {
        lastRetry = std::chrono::milliseconds(0);
        return schedule.refresh;
    }
    lastRetry = lastRetry.count() == 0 ? schedule.firstRetry
                                       : std::min(lastRetry * 2, schedule.longestRetry);
    return lastRetry;
}

}  // namespace

RefreshWorker::RefreshWorker(ForecastSource source, LiveSchedule schedule, Handlers handlers,
                             std::chrono::milliseconds firstWait)
    : shared_(std::make_shared<Shared>()) {
    shared_->source = std::move(source);
    shared_->schedule = schedule;
    shared_->handlers = std::move(handlers);
    shared_->nextFetch = SteadyClock::now() + firstWait;
    thread_ = std::thread(&RefreshWorker::Run, shared_);
}

RefreshWorker::~RefreshWorker() {
    bool fetching = false;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
        fetching = shared_->fetching;
    }
    shared_->wake.notify_all();
    if (fetching) {
        thread_.detach();  // it ends when its request does, and hands nothing over
    } else {
        thread_.join();
    }
}

void RefreshWorker::SetSource(ForecastSource source) {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->source = std::move(source);
        shared_->nextFetch = SteadyClock::now();
        shared_->lastRetry = std::chrono::milliseconds(0);
        ++shared_->sourceChanges;
    }
    shared_->wake.notify_all();
}

void RefreshWorker::WakeAt(std::optional<SteadyClock::time_point> deadline) {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->deadline = deadline;
    }
    shared_->wake.notify_all();
}

void RefreshWorker::Run(std::shared_ptr<Shared> shared) {
    std::unique_lock lock(shared->mutex);
    while (!shared->stop) {
        const auto now = SteadyClock::now();
        if (shared->deadline && *shared->deadline <= now) {
            shared->deadline.reset();  // the owner sets the next one
            if (shared->handlers.deadlinePassed) {
                shared->handlers.deadlinePassed();
            }
            continue;
        }
        if (shared->nextFetch > now) {
            const auto until = shared->deadline ? std::min(*shared->deadline, shared->nextFetch)
                                                : shared->nextFetch;
            shared->wake.wait_until(lock, until);
            continue;
        }
        const ForecastSource source = shared->source;
        const int change = shared->sourceChanges;
        shared->fetching = true;
        lock.unlock();
        PageFetch fetch = FetchForecastPage(source);
        lock.lock();
        shared->fetching = false;
        if (shared->stop) {
            break;
        }
        // A source set meanwhile fetches at once and starts its retries afresh: this one's
        // outcome changes neither.
        if (change == shared->sourceChanges) {
            const auto wait = NextWait(shared->schedule, fetch.ok(), shared->lastRetry);
            shared->nextFetch = SteadyClock::now() + wait;
        }
        const auto nextTry = std::chrono::system_clock::now() +
                             std::chrono::duration_cast<std::chrono::system_clock::duration>(
                                 shared->nextFetch - SteadyClock::now());
        shared->handlers.fetched(Outcome{std::move(fetch), source, nextTry});
    }
}

}  // namespace zonbode::live
