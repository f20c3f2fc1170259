#pragma once

#include <chrono>

#include "messengers/MessengerTransport.h"
#include "messengers/ReceiverWaits.h"
#include "messengers/pidgin/PurpleStatus.h"

namespace zonbode::messengers::qt {

// Pidgin or Finch on the session bus, through libpurple's own D-Bus interface: a receiver
// while its bus name is owned, looked for again at every record. The status it was given, and
// the one to bring back at switch-off, are kept in `points` until the switch-off has been made.
class PurpleMessengerTransport final : public MessengerTransport {
public:
    explicit PurpleMessengerTransport(RestorePoints& points,
                                      std::chrono::milliseconds bound = std::chrono::seconds(5))
        : waits_(bound, std::chrono::seconds(1)), delivery_(points) {}  // a record: several calls

    void SetDeadline(std::chrono::steady_clock::time_point deadline) override {
        waits_.SetDeadline(deadline);
    }

    // The client's bus name while it is on the bus; none otherwise or without a session bus.
    std::vector<std::string> Receivers() override;
    // All the calls for one record together wait at most the bound; failures pass unseen.
    void Send(const std::string& receiver, std::uint32_t dwData,
              std::span<const std::uint8_t> record) override;

private:
    ReceiverWaits waits_;
    PurpleStatusDelivery delivery_;
};

}  // namespace zonbode::messengers::qt
