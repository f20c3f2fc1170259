#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "messengers/MessengerTransport.h"
#include "messengers/WorkThread.h"

namespace zonbode::messengers {

// How a web messenger's link hands records to its thread. A day's record is handed over and
// the sender goes on; a newer day replaces one that has not gone yet. A record without a day
// (the switch-off) drops a day still waiting and is waited for until its deadline: the earlier
// of the one set for the record and the link's own bound.
class RecordHandOver {
public:
    struct Record {
        std::uint32_t dwData = 0;
        std::vector<std::uint8_t> bytes;
        std::optional<DayRecord> day;
    };
    using Deadline = std::chrono::steady_clock::time_point;
    // Runs on the thread, with the time by which the record's calls end.
    using Deliver = std::function<void(const Record& record, Deadline deadline)>;

    RecordHandOver(WorkThread& thread, Deliver deliver, std::chrono::milliseconds bound)
        : thread_(thread), deliver_(std::move(deliver)), bound_(bound) {}

    void SetDeadline(Deadline deadline);
    void HandOver(std::uint32_t dwData, std::span<const std::uint8_t> record, const DayRecord* day);

private:
    void DeliverWaitingDay();

    WorkThread& thread_;
    Deliver deliver_;
    std::chrono::milliseconds bound_;
    std::mutex mutex_;  // guards the two below
    std::optional<Record> waitingDay_;
    Deadline deadline_{};
};

}  // namespace zonbode::messengers
