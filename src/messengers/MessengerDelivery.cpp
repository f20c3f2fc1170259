#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "messengers/MessengerDelivery.h"
#include "status/StatusMessage.h"

namespace zonbode::messengers {

using status::kStatusCategory;
using status::kStatusCopyDataId;
using status::kStatusFormat;
using status::StatusPayload;

namespace {

// Delivery never fails towards the caller: a missing client or a receiver that rejects the
// record is simply not served.
void SendToEveryReceiver(MessengerTransport& transport, const std::vector<std::uint8_t>& record,
                         const DayRecord* day) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + kRecordDeliveryBound;
    std::vector<std::string> receivers;
    try {
        transport.SetDeadline(deadline);
        receivers = transport.Receivers();
    } catch (...) {
        return;
    }
    for (std::size_t i = 0; i < receivers.size(); ++i) {
        try {
            // Each receiver may take an even share of the time left, so one that hangs leaves
            // the time of those after it to them: a receiver that answers gets every record.
            const auto left = std::max(Clock::duration::zero(), deadline - Clock::now());
            transport.SetDeadline(Clock::now() +
                                  left / static_cast<Clock::rep>(receivers.size() - i));
            transport.SendWithDay(receivers[i], kStatusCopyDataId, record, day);
        } catch (...) {
            // The next receiver is served all the same.
        }
    }
}

}  // namespace

void SendMessengerStatus(MessengerTransport& transport, std::string_view category, bool enabled,
                         std::string_view format, std::string_view text1, std::string_view text2,
                         std::string_view text3, std::string_view text4) {
    SendToEveryReceiver(
        transport, StatusPayload(category, enabled, format, text1, text2, text3, text4), nullptr);
}

void SendDayStatus(MessengerTransport& transport, std::string_view text, const DayRecord& day) {
    SendToEveryReceiver(
        transport, StatusPayload(kStatusCategory, true, kStatusFormat, text, {}, {}, {}), &day);
}

}  // namespace zonbode::messengers
