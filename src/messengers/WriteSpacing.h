#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>

namespace zonbode::messengers {

// How often a status may be written to a web service that announces every change to others
// and limits writes: the automatic cycle once in `automaticSpacing`, a day chosen by hand at
// once, and all of them no more than `perMinute` in any minute.
class WriteSpacing {
public:
    using Time = std::chrono::system_clock::time_point;

    WriteSpacing(std::chrono::minutes automaticSpacing, std::size_t perMinute)
        : automaticSpacing_(automaticSpacing), perMinute_(perMinute) {}

    // Whether a record may go now. A tick of the automatic cycle that may takes its turn, whether
    // or not it ends in a write (a status already shown is not written again).
    bool TakeTurn(bool byHand, Time now);
    // A write went out now.
    void Wrote(Time now);

private:
    std::chrono::minutes automaticSpacing_;
    std::size_t perMinute_;
    std::optional<Time> lastAutomatic_;
    std::deque<Time> recentWrites_;
};

}  // namespace zonbode::messengers
