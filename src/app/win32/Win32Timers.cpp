#include "app/win32/Win32Timers.h"

#include <windows.h>

#include <algorithm>
#include <map>

namespace zonbode::app::win32 {
namespace {

class Win32Timer;

// Thread timers are told apart by the id SetTimer gave them.
std::map<UINT_PTR, Win32Timer*>& RunningTimers() {
    static auto* timers = new std::map<UINT_PTR, Win32Timer*>;
    return *timers;
}

class Win32Timer final : public Timer {
public:
    Win32Timer(std::chrono::milliseconds interval, std::function<void()> onTick)
        : interval_(static_cast<UINT>(
              std::clamp<std::int64_t>(interval.count(), USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM))),
          onTick_(std::move(onTick)) {}
    ~Win32Timer() override { Stop(); }

    void Start() override {
        if (id_ != 0) {
            return;  // running: keep the schedule
        }
        id_ = SetTimer(nullptr, 0, interval_, &OnTimer);
        if (id_ != 0) {
            RunningTimers()[id_] = this;
        }
    }

    void Stop() override {
        if (id_ != 0) {
            KillTimer(nullptr, id_);
            RunningTimers().erase(id_);
            id_ = 0;
        }
    }

    bool IsRunning() const override { return id_ != 0; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
        auto& timers = RunningTimers();
        auto it = timers.find(id);
        if (it != timers.end()) {
            auto onTick = it->second->onTick_;  // the tick may stop or destroy its timer
            if (onTick) {
                onTick();
            }
        }
    }

    UINT interval_;
    std::function<void()> onTick_;
    UINT_PTR id_ = 0;
};

}  // namespace

std::unique_ptr<Timer> Win32Timers::CreateTimer(std::chrono::milliseconds interval, bool running,
                                                std::function<void()> onTick) {
    auto timer = std::make_unique<Win32Timer>(interval, std::move(onTick));
    if (running) {
        timer->Start();
    }
    return timer;
}

}  // namespace zonbode::app::win32
