#include "messengers/WriteSpacing.h"

#include <algorithm>

namespace zonbode::messengers {

bool WriteSpacing::TakeTurn(bool byHand, Time now) {
    const auto inLastMinute =
        std::count_if(recentWrites_.begin(), recentWrites_.end(),
                      [&](Time at) { return now - at < std::chrono::minutes(1) && now >= at; });
    if (static_cast<std::size_t>(inLastMinute) >= perMinute_) {
        return false;
    }
    if (byHand) {
        return true;
    }
    // A clock set back counts as a new start.
    if (lastAutomatic_ && now - *lastAutomatic_ < automaticSpacing_ && now >= *lastAutomatic_) {
        return false;
    }
    lastAutomatic_ = now;
    return true;
}

void WriteSpacing::Wrote(Time now) {
    recentWrites_.push_back(now);
    while (recentWrites_.size() > perMinute_) {
        recentWrites_.pop_front();
    }
}

}  // namespace zonbode::messengers
