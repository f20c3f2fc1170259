#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace zonbode::messengers {

// A thread of its own that runs the tasks given to it one at a time, in order: how a
// messenger's calls that wait on a web service or a keyring leave the user-interface thread.
// Ending it waits for the task under way (each bounds its own waits) and drops the rest.
class WorkThread {
public:
    WorkThread();
    ~WorkThread();
    WorkThread(const WorkThread&) = delete;
    WorkThread& operator=(const WorkThread&) = delete;

    void Post(std::function<void()> task);
    // Posts the task and waits until it has run or the deadline has passed; true when it ran.
    bool RunBy(std::function<void()> task, std::chrono::steady_clock::time_point deadline);
    // Drops the tasks that have not started.
    void DropWaiting();

private:
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> tasks_;
    bool ending_ = false;
    std::thread thread_;
};

}  // namespace zonbode::messengers
