#pragma once

#include "app/Ports.h"

namespace zonbode::app::fakes {

class FakeClock final : public Clock {
public:
    forecast::LocalDateTime now{2026, 12, 7, 16, 5};
    forecast::LocalDateTime LocalNow() const override { return now; }
};

}  // namespace zonbode::app::fakes
