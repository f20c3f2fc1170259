#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zonbode::messengers {

// The eight values of the day a status was composed from, in the list's column order.
using DayFields = std::array<std::string, 8>;

// The day a status record was composed from, and how it came to be sent.
struct DayRecord {
    DayFields fields;
    bool chosenByHand = false;  // a double-click on the day; false: the automatic cycle's tick
};

// The messenger client on this desktop, as seen by status delivery. Windows: the top-level
// windows of class "MsnMsgrUIManager" and WM_COPYDATA; Linux: D-Bus receivers.
class MessengerTransport {
public:
    virtual ~MessengerTransport() = default;

    // The calls from here on (listing receivers, sending) end by `deadline`, whatever hangs.
    // Without one, each send is bounded on its own.
    virtual void SetDeadline(std::chrono::steady_clock::time_point /*deadline*/) {}

    // Every receiver, in the order the platform lists them. Ids are opaque to the caller.
    virtual std::vector<std::string> Receivers() = 0;

    // Hands the record to one receiver and waits (bounded) until it has taken it.
    // Never throws; a failure is simply not reported.
    virtual void Send(const std::string& receiver, std::uint32_t dwData,
                      std::span<const std::uint8_t> record) = 0;

    // The same, with the day the record was composed from (nullptr for the switch-off record),
    // for a messenger that shows more than the text or spares its writes. The record alone is
    // all the others take.
    virtual void SendWithDay(const std::string& receiver, std::uint32_t dwData,
                             std::span<const std::uint8_t> record, const DayRecord* /*day*/) {
        Send(receiver, dwData, record);
    }
};

}  // namespace zonbode::messengers
