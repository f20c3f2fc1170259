#include <cstdint>
#include <limits>

#include "status/StatusMessage.h"

namespace zonbode::status {

// Back to the first day at or beyond the last row, so that a table that shrank (or was empty
// for a while) never leaves the cycle stuck past its end or running into the 16-bit limit.
std::int16_t NextDay(std::int16_t currentDay, int rowCount) {
    if (currentDay >= rowCount || currentDay == std::numeric_limits<std::int16_t>::max()) {
        return 1;
    }
    return static_cast<std::int16_t>(currentDay + 1);
}

}  // namespace zonbode::status
