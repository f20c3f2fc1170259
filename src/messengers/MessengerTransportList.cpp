#include "messengers/MessengerTransportList.h"

#include <charconv>
#include <string>

namespace zonbode::messengers {

std::vector<std::string> MessengerTransportList::Receivers() {
    std::vector<std::string> receivers;
    for (std::size_t i = 0; i < transports_.size(); ++i) {
        try {
            for (const std::string& receiver : transports_[i]->Receivers()) {
                receivers.push_back(std::to_string(i) + ':' + receiver);
            }
        } catch (...) {
            // The next transport's receivers are listed all the same.
        }
    }
    return receivers;
}

void MessengerTransportList::Send(const std::string& receiver, std::uint32_t dwData,
                                  std::span<const std::uint8_t> record) {
    SendWithDay(receiver, dwData, record, nullptr);
}

void MessengerTransportList::SendWithDay(const std::string& receiver, std::uint32_t dwData,
                                         std::span<const std::uint8_t> record,
                                         const DayRecord* day) {
    std::size_t index = 0;
    const char* end = receiver.data() + receiver.size();
    const auto [colon, error] = std::from_chars(receiver.data(), end, index);
    if (error != std::errc() || colon == end || *colon != ':' || index >= transports_.size()) {
        return;
    }
    transports_[index]->SendWithDay(std::string(colon + 1, end), dwData, record, day);
}

}  // namespace zonbode::messengers
