#include "net/TaskHandOver.h"

#include <exception>

#include "net/MessageBoxHook.h"

namespace zonbode::net {

void TaskHandOver::Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
}

void TaskHandOver::Close() {
    std::lock_guard lock(mutex_);
    open_ = false;
    tasks_.clear();
}

bool TaskHandOver::Push(std::function<void()> task, const std::function<bool()>& notify) {
    std::lock_guard lock(mutex_);
    if (!open_) {
        return false;
    }
    tasks_.push_back(std::move(task));
    if (!notify()) {
        tasks_.pop_back();
        return false;
    }
    return true;
}

void TaskHandOver::RunNext() {
    std::function<void()> task;
    {
        std::lock_guard lock(mutex_);
        if (tasks_.empty()) {
            return;
        }
        task = std::move(tasks_.front());
        tasks_.pop_front();
    }
    if (!task) {
        return;
    }
    // An exception cannot unwind through the system's dispatch code.
    try {
        task();
    } catch (const std::exception& error) {
        WriteErrorLine(error.what(), "EventLoop.PostTask");
    } catch (...) {
        WriteErrorLine("unknown error", "EventLoop.PostTask");
    }
}

TaskHandOver& TheTaskHandOver() {
    static auto* handOver = new TaskHandOver;
    return *handOver;
}

}  // namespace zonbode::net
