#pragma once

#include <algorithm>
#include <chrono>
#include <set>
#include <string>

namespace zonbode::messengers {

// How long a transport waits for each receiver: never past the record's deadline, never
// longer than its own bound, and for a receiver that did not answer last time only a short
// probe, so a hung receiver does not cost the full bound again on every record. One that
// answers a probe is waited for fully again.
class ReceiverWaits {
public:
    using Clock = std::chrono::steady_clock;
    // probe: how long a receiver that did not answer last time is given.
    ReceiverWaits(std::chrono::milliseconds bound, std::chrono::milliseconds probe)
        : bound_(bound), probe_(probe) {}

    void SetDeadline(Clock::time_point deadline) { deadline_ = deadline; }

    // What is left of the record's time (at most the bound); 0 when none is.
    std::chrono::milliseconds Left(Clock::time_point now) const {
        if (deadline_ == Clock::time_point::max()) {
            return bound_;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline_ - now);
        return std::max(std::chrono::milliseconds(0), std::min(bound_, left));
    }
    // The wait for this receiver now; 0: do not send.
    std::chrono::milliseconds For(const std::string& receiver, Clock::time_point now) const {
        const std::chrono::milliseconds left = Left(now);
        return hung_.count(receiver) != 0 ? std::min(left, probe_) : left;
    }
    void Answered(const std::string& receiver, bool answered) {
        if (answered) {
            hung_.erase(receiver);
        } else {
            hung_.insert(receiver);
        }
    }

private:
    std::chrono::milliseconds bound_;
    std::chrono::milliseconds probe_;
    Clock::time_point deadline_ = Clock::time_point::max();
    std::set<std::string> hung_;
};

}  // namespace zonbode::messengers
