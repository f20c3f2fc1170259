#pragma once

#include "app/Ports.h"

namespace zonbode::app {

// Timers of the runtime's own event loop, for headless use (tools and tests): they tick
// while EventLoop::RunUntil runs. Start on a running timer keeps its schedule.
class LoopTimers final : public TimerFactory {
public:
    std::unique_ptr<Timer> CreateTimer(std::chrono::milliseconds interval, bool running,
                                       std::function<void()> onTick) override;
};

}  // namespace zonbode::app
