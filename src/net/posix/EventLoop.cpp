// The loop of the POSIX build: one epoll descriptor holds the subscribed sockets and the
// queue's wake-up eventfd. A front-end with a loop of its own watches that descriptor and
// calls ProcessPending; headless tools and tests run RunUntil, which also drives the timers.

#include <algorithm>

#include "net/EventLoop.h"
#include "net/EventLoopTimers.h"
#include "net/posix/Endpoint.h"

namespace zonbode::net::EventLoop {
namespace {

using Clock = std::chrono::steady_clock;

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
        posix::GatherReadiness(
            posix::QueuedCount() > 0 ? 0 : MillisecondsUntil(NextTimerDue(deadline)));
    }
}

void PostTask(std::function<void()> task) {
    posix::PostTask(std::move(task));
}

}  // namespace zonbode::net::EventLoop
