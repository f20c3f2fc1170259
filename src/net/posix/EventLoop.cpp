// The loop of the POSIX build: one epoll descriptor holds the subscribed sockets and the
// queue's wake-up eventfd. A front-end with a loop of its own watches that descriptor and
// calls ProcessPending; headless tools and tests run RunUntil, which also drives the timers.

#include <algorithm>
#include <map>
#include <vector>

#include "net/EventLoop.h"
#include "net/posix/Endpoint.h"

namespace zonbode::net::EventLoop {
namespace {

using Clock = std::chrono::steady_clock;

struct Timer {
    std::chrono::milliseconds interval;
    Clock::time_point due;
    std::function<void()> onTick;
};

struct Timers {
    std::map<TimerId, Timer> active;
    TimerId nextId = 1;
};

Timers& TheTimers() {
    static auto* timers = new Timers;
    return *timers;
}

// Ticks every timer that is due, one at a time; stops early when done() turns true.
bool TickDueTimers(const std::function<bool()>& done) {
    auto& timers = TheTimers();
    auto now = Clock::now();
    std::vector<TimerId> due;
    for (const auto& [id, timer] : timers.active) {
        if (timer.due <= now) {
            due.push_back(id);
        }
    }
    for (TimerId id : due) {
        auto it = timers.active.find(id);
        if (it == timers.active.end()) {
            continue;  // removed by an earlier tick
        }
        it->second.due = std::max(it->second.due + it->second.interval, now);
        auto onTick = it->second.onTick;  // the tick may remove its own timer
        onTick();
        if (done()) {
            return true;
        }
    }
    return false;
}

int MillisecondsUntil(Clock::time_point when) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(when - Clock::now());
    return static_cast<int>(std::clamp<std::int64_t>(left.count() + 1, 0, 60'000));
}

}  // namespace

int PollDescriptor() {
    return posix::EnsureQueue() ? posix::EpollDescriptor() : -1;
}

void ProcessPending() {
    if (posix::Dispatching()) {
        return;  // never inside a notification's handler
    }
    posix::GatherReadiness(0);
    posix::DispatchQueued(posix::QueuedCount());
    posix::ClearWakeIfIdle();
}

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    if (posix::Dispatching()) {
        return done();  // a handler cannot wait for notifications that queue behind it
    }
    posix::GatherReadiness(0);
    while (true) {
        if (done()) {
            return true;
        }
        // Handle what is queued now, one message at a time; what those handlers post
        // waits for the next round, so timers keep their turn under a steady stream.
        for (std::size_t batch = posix::QueuedCount(); batch > 0; --batch) {
            if (posix::DispatchQueued(1) == 0) {
                break;
            }
            if (done()) {
                return true;
            }
        }
        if (TickDueTimers(done)) {
            return true;
        }
        auto now = Clock::now();
        if (now >= deadline) {
            return done();
        }
        auto wakeAt = deadline;
        for (const auto& [id, timer] : TheTimers().active) {
            wakeAt = std::min(wakeAt, timer.due);
        }
        posix::GatherReadiness(posix::QueuedCount() > 0 ? 0 : MillisecondsUntil(wakeAt));
    }
}

TimerId AddTimer(std::chrono::milliseconds interval, std::function<void()> onTick) {
    auto& timers = TheTimers();
    interval = std::max(interval, std::chrono::milliseconds(1));
    TimerId id = timers.nextId++;
    timers.active.emplace(id, Timer{interval, Clock::now() + interval, std::move(onTick)});
    return id;
}

void RemoveTimer(TimerId id) {
    TheTimers().active.erase(id);
}

void PostTask(std::function<void()> task) {
    posix::PostTask(std::move(task));
}

}  // namespace zonbode::net::EventLoop
