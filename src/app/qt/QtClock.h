#pragma once

#include "app/Ports.h"

namespace zonbode::app::qt {

// The local date and time of this desktop.
class QtClock : public Clock {
public:
    forecast::LocalDateTime LocalNow() const override;
};

}  // namespace zonbode::app::qt
