#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "messengers/MessengerTransport.h"

namespace zonbode::app {

// The messenger as Form1 sends to it: once closed (the switch-off has gone out) nothing more
// is sent, not even to the rest of the receivers of a record whose delivery the shutdown
// interrupted, so no day record ever follows the switch-off.
class ClosingMessenger final : public messengers::MessengerTransport {
public:
    explicit ClosingMessenger(messengers::MessengerTransport& messenger) : messenger_(messenger) {}

    void Close() { closed_ = true; }

    void SetDeadline(std::chrono::steady_clock::time_point deadline) override {
        messenger_.SetDeadline(deadline);
    }
    std::vector<std::string> Receivers() override {
        return closed_ ? std::vector<std::string>{} : messenger_.Receivers();
    }
    void Send(const std::string& receiver, std::uint32_t dwData,
              std::span<const std::uint8_t> record) override {
        if (!closed_) {
            messenger_.Send(receiver, dwData, record);
        }
    }
    void SendWithDay(const std::string& receiver, std::uint32_t dwData,
                     std::span<const std::uint8_t> record,
                     const messengers::DayRecord* day) override {
        if (!closed_) {
            messenger_.SendWithDay(receiver, dwData, record, day);
        }
    }

private:
    messengers::MessengerTransport& messenger_;
    bool closed_ = false;
};

}  // namespace zonbode::app
