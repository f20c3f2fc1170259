#pragma once

#include "app/Ports.h"

namespace zonbode::app {

// The computer's local date and time.
class SystemClock final : public Clock {
public:
    forecast::LocalDateTime LocalNow() const override;
};

}  // namespace zonbode::app
