#pragma once

#include <chrono>

namespace zonbode::live {

// When the next fetch comes: `refresh` after a good one; after a failure `firstRetry`, then
// growing waits up to `longestRetry`. Tests shorten them.
struct LiveSchedule {
    std::chrono::milliseconds refresh = std::chrono::minutes(30);
    std::chrono::milliseconds firstRetry = std::chrono::minutes(1);
    std::chrono::milliseconds longestRetry = std::chrono::minutes(15);
    // How long a connection to the page may stay open, however slowly its client talks.
    std::chrono::milliseconds pageConnection = std::chrono::seconds(15);
};

}  // namespace zonbode::live
