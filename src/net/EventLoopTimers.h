#pragma once

#include <chrono>
#include <functional>

// The loop timers' table (EventLoop::AddTimer and RemoveTimer), the same for every loop: the
// loop ticks the due timers between notifications and sleeps no longer than until the next.
namespace zonbode::net::EventLoop {

// Ticks every timer that is due, one at a time; stops early, returning true, when done()
// turns true.
bool TickDueTimers(const std::function<bool()>& done);

// The earlier of `deadline` and the moment the next timer is due.
std::chrono::steady_clock::time_point NextTimerDue(std::chrono::steady_clock::time_point deadline);

}  // namespace zonbode::net::EventLoop
