#include <string>
#include <vector>

#include "status/StatusMessage.h"

namespace zonbode::status {

// Delivery never fails towards the caller: a missing client or a receiver that rejects the
// record is simply not served.
void SendMessengerStatus(MessengerTransport& transport, std::string_view category, bool enabled,
                         std::string_view format, std::string_view text1, std::string_view text2,
                         std::string_view text3, std::string_view text4) {
    const std::vector<std::uint8_t> record =
        StatusPayload(category, enabled, format, text1, text2, text3, text4);
    std::vector<std::string> receivers;
    try {
        receivers = transport.Receivers();
    } catch (...) {
        return;
    }
    for (const std::string& receiver : receivers) {
        try {
            transport.Send(receiver, kStatusCopyDataId, record);
        } catch (...) {
            // The next receiver is served all the same.
        }
    }
}

}  // namespace zonbode::status
