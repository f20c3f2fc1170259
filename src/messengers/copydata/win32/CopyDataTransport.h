#pragma once

#include "messengers/MessengerTransport.h"
#include "messengers/ReceiverWaits.h"

namespace zonbode::messengers::win32 {

// The messenger client's windows: every top-level window of class "MsnMsgrUIManager",
// reached with WM_COPYDATA. A receiver that does not answer within 5 seconds (or hangs) is
// given up on, and all of one record's sends end by its deadline, so a stuck messenger cannot
// freeze the program.
class CopyDataTransport final : public MessengerTransport {
public:
    static constexpr unsigned kSendTimeoutMs = 5000;

    void SetDeadline(std::chrono::steady_clock::time_point deadline) override {
        waits_.SetDeadline(deadline);
    }
    std::vector<std::string> Receivers() override;
    void Send(const std::string& receiver, std::uint32_t dwData,
              std::span<const std::uint8_t> record) override;

private:
    // A window that did not answer last time is given a quarter of a second until it does.
    ReceiverWaits waits_{std::chrono::milliseconds(kSendTimeoutMs), std::chrono::milliseconds(250)};
};

}  // namespace zonbode::messengers::win32
