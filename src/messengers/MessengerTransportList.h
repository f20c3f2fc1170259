#pragma once

#include <vector>

#include "messengers/MessengerTransport.h"

namespace zonbode::messengers {

// Several transports as one: the receivers of each, in the order the transports were given,
// so that every record reaches all of them. A transport that cannot list its receivers leaves
// the others served.
class MessengerTransportList final : public MessengerTransport {
public:
    explicit MessengerTransportList(std::vector<MessengerTransport*> transports)
        : transports_(std::move(transports)) {}

    void SetDeadline(std::chrono::steady_clock::time_point deadline) override {
        for (MessengerTransport* transport : transports_) {
            transport->SetDeadline(deadline);
        }
    }
    // Each id is the transport's place, a colon and that transport's own id.
    std::vector<std::string> Receivers() override;
    void Send(const std::string& receiver, std::uint32_t dwData,
              std::span<const std::uint8_t> record) override;
    void SendWithDay(const std::string& receiver, std::uint32_t dwData,
                     std::span<const std::uint8_t> record, const DayRecord* day) override;

private:
    std::vector<MessengerTransport*> transports_;
};

}  // namespace zonbode::messengers
