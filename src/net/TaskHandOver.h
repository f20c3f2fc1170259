#pragma once

#include <deque>
#include <functional>
#include <mutex>

namespace zonbode::net {

// The tasks handed from any thread to the loop's thread (EventLoop::PostTask). Each backend
// queues a notification of its own per task, behind the notifications already waiting, and
// handling one runs the next task. Tasks are taken while the hand-over is open (while the
// network service runs); closing drops those still queued.
class TaskHandOver {
public:
    void Open();
    void Close();
    // Queues the task and, under the same lock so that notifications and tasks pair up in
    // order, has `notify` queue its notification; a task whose notification could not be
    // queued is taken back. False when closed or not notified.
    bool Push(std::function<void()> task, const std::function<bool()>& notify);
    // Runs the next task, if there is one. Its failure reaches no caller of its own: it is
    // written out, and the loop goes on.
    void RunNext();

private:
    std::mutex mutex_;
    bool open_ = false;
    std::deque<std::function<void()>> tasks_;
};

// The process's one hand-over; it lives for the whole process, as threads may still hand
// over while it exits.
TaskHandOver& TheTaskHandOver();

}  // namespace zonbode::net
