#include "messengers/RecordHandOver.h"

#include <algorithm>

namespace zonbode::messengers {

using Clock = std::chrono::steady_clock;

void RecordHandOver::SetDeadline(Deadline deadline) {
    std::lock_guard lock(mutex_);
    deadline_ = deadline;
}

void RecordHandOver::HandOver(std::uint32_t dwData, std::span<const std::uint8_t> record,
                              const DayRecord* day) {
    Record copy{dwData, {record.begin(), record.end()}, std::nullopt};
    if (day) {
        copy.day = *day;
        std::lock_guard lock(mutex_);
        const bool posted = waitingDay_.has_value();
        waitingDay_ = std::move(copy);
        if (!posted) {
            thread_.Post([this] { DeliverWaitingDay(); });
        }
        return;
    }
    Deadline deadline;
    {
        std::lock_guard lock(mutex_);
        waitingDay_.reset();
        deadline = std::min(deadline_, Clock::now() + bound_);
    }
    thread_.RunBy([this, copy = std::move(copy), deadline] { deliver_(copy, deadline); }, deadline);
}

void RecordHandOver::DeliverWaitingDay() {
    std::optional<Record> record;
    {
        std::lock_guard lock(mutex_);
        record.swap(waitingDay_);
    }
    if (record) {
        deliver_(*record, Clock::now() + bound_);
    }
}

}  // namespace zonbode::messengers
