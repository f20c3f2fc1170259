#include <string>
#include <vector>

#include "status/StatusMessage.h"

namespace zonbode::status {
namespace {

// Delivery never fails towards the caller: a missing client or a receiver that rejects the
// record is simply not served.
void SendToEveryReceiver(MessengerTransport& transport, const std::vector<std::uint8_t>& record,
                         const DayFields* day) {
    std::vector<std::string> receivers;
    try {
        receivers = transport.Receivers();
    } catch (...) {
        return;
    }
    for (const std::string& receiver : receivers) {
        try {
            transport.SendWithDay(receiver, kStatusCopyDataId, record, day);
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

void SendDayStatus(MessengerTransport& transport, std::string_view text, const DayFields& day) {
    SendToEveryReceiver(
        transport, StatusPayload(kStatusCategory, true, kStatusFormat, text, {}, {}, {}), &day);
}

}  // namespace zonbode::status
