#include "messengers/WorkThread.h"

#include <memory>

namespace zonbode::messengers {

WorkThread::WorkThread() : thread_([this] { Run(); }) {}

WorkThread::~WorkThread() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
        tasks_.clear();
    }
    changed_.notify_all();
    thread_.join();
}

void WorkThread::Post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    changed_.notify_all();
}

bool WorkThread::RunBy(std::function<void()> task, std::chrono::steady_clock::time_point deadline) {
    // Shared with the task, which may still run after this call has given up on it.
    struct Done {
        std::mutex mutex;
        std::condition_variable changed;
        bool ran = false;
    };
    auto done = std::make_shared<Done>();
    Post([task = std::move(task), done] {
        task();
        {
            std::lock_guard lock(done->mutex);
            done->ran = true;
        }
        done->changed.notify_all();
    });
    std::unique_lock lock(done->mutex);
    return done->changed.wait_until(lock, deadline, [&] { return done->ran; });
}

void WorkThread::DropWaiting() {
    std::lock_guard lock(mutex_);
    tasks_.clear();
}

void WorkThread::Run() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return ending_ || !tasks_.empty(); });
            if (ending_) {
                return;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

}  // namespace zonbode::messengers
