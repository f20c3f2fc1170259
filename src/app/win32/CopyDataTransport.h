#pragma once

#include "status/MessengerTransport.h"

namespace zonbode::app::win32 {

// The messenger client's windows: every top-level window of class "MsnMsgrUIManager",
// reached with WM_COPYDATA. A receiver that does not answer within 5 seconds (or hangs) is
// given up on, so a stuck messenger cannot freeze the program.
class CopyDataTransport final : public status::MessengerTransport {
public:
    static constexpr unsigned kSendTimeoutMs = 5000;

    std::vector<std::string> Receivers() override;
    void Send(const std::string& receiver, std::uint32_t dwData,
              std::span<const std::uint8_t> record) override;
};

}  // namespace zonbode::app::win32
