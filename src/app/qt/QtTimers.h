#pragma once

#include "app/Ports.h"

namespace zonbode::app::qt {

// Form1's timers as QTimers on the user-interface thread.
class QtTimers : public TimerFactory {
public:
    std::unique_ptr<Timer> CreateTimer(std::chrono::milliseconds interval, bool running,
                                       std::function<void()> onTick) override;
};

}  // namespace zonbode::app::qt
