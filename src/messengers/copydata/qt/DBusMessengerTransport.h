#pragma once

#include <chrono>

#include "messengers/MessengerTransport.h"
#include "messengers/ReceiverWaits.h"

namespace zonbode::messengers::qt {

// The messenger client on the Linux desktop: every session-bus name that begins with
// "nl.kavelo.MsnMsgrUIManager." is a receiver. Each exports, at /MsnMsgrUIManager, the
// interface nl.kavelo.MsnMsgrUIManager with the method CopyData(u dwData, ay data).
class DBusMessengerTransport : public MessengerTransport {
public:
    static constexpr char kNamePrefix[] = "nl.kavelo.MsnMsgrUIManager.";
    static constexpr char kObjectPath[] = "/MsnMsgrUIManager";
    static constexpr char kInterface[] = "nl.kavelo.MsnMsgrUIManager";
    static constexpr char kMethod[] = "CopyData";

    explicit DBusMessengerTransport(std::chrono::milliseconds timeout = std::chrono::seconds(5))
        : waits_(timeout, std::chrono::milliseconds(250)) {}

    void SetDeadline(std::chrono::steady_clock::time_point deadline) override {
        waits_.SetDeadline(deadline);
    }

    // The receivers' bus names, sorted; none without a session bus.
    std::vector<std::string> Receivers() override;
    // Calls CopyData and waits for its answer, at most the timeout (and what is left of the
    // record's time; a receiver that did not answer last time only briefly); failures pass
    // unseen.
    void Send(const std::string& receiver, std::uint32_t dwData,
              std::span<const std::uint8_t> record) override;

private:
    ReceiverWaits waits_;
};

}  // namespace zonbode::messengers::qt
