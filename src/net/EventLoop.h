#pragma once

#include <chrono>
#include <functional>

// The process's notification queue, run on the calling (user-interface) thread.
// Network events and lookup completions are queued in posting order and handled one at a
// time, never while another notification's handler runs. Front-ends with their own loop
// (Qt, the Win32 message loop) call ProcessPending when PollDescriptor turns readable or
// simply dispatch messages; headless tools and tests use RunUntil and the loop timers.
namespace zonbode::net::EventLoop {

// POSIX: a descriptor, valid for the life of the process once it is there, that is readable
// while notifications wait; -1 only while the system refuses to open it (no descriptors
// left). Windows: -1 (notifications arrive as window messages).
int PollDescriptor();

// Handles every notification that is pending now, without blocking.
void ProcessPending();

// Handles notifications and loop timers until done() returns true or the timeout has passed.
// Returns done(). done is checked before waiting and after every handled notification or tick.
bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// Timers of the loop itself, for headless tools and tests. A timer ticks every interval
// while RunUntil runs, until removed. Ids are positive.
using TimerId = int;
TimerId AddTimer(std::chrono::milliseconds interval, std::function<void()> onTick);
void RemoveTimer(TimerId id);

// Hands `task` from any thread to the loop's thread, where it runs as a notification of its
// own, in posting order, while the runtime is up (tasks still queued when it shuts down are
// dropped). This is how work done off the user-interface thread reports back: the loop wakes
// for it, nothing polls.
void PostTask(std::function<void()> task);

}  // namespace zonbode::net::EventLoop
