#include "app/SystemClock.h"

#include <ctime>

namespace zonbode::app {

forecast::LocalDateTime SystemClock::LocalNow() const {
    std::time_t now = std::time(nullptr);
    // Everything runs on the one user-interface thread, so the shared result is safe here.
    const std::tm* local = std::localtime(&now);
    if (local == nullptr) {
        return {};
    }
    return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_hour,
            local->tm_min};
}

}  // namespace zonbode::app
