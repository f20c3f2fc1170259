#pragma once

#include "app/Ports.h"

namespace zonbode::app::win32 {

// Timers of the thread's message loop (SetTimer without a window). SetTimer restarts a
// running timer, so Start does nothing while the timer runs: it keeps its schedule.
class Win32Timers final : public TimerFactory {
public:
    std::unique_ptr<Timer> CreateTimer(std::chrono::milliseconds interval, bool running,
                                       std::function<void()> onTick) override;
};

}  // namespace zonbode::app::win32
