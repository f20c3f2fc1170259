#include "net/EventLoopTimers.h"

#include <algorithm>
#include <map>
#include <vector>

#include "net/EventLoop.h"

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

}  // namespace

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

Clock::time_point NextTimerDue(Clock::time_point deadline) {
    for (const auto& [id, timer] : TheTimers().active) {
        deadline = std::min(deadline, timer.due);
    }
    return deadline;
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

}  // namespace zonbode::net::EventLoop
