#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/fakes/EventLog.h"
#include "messengers/MessengerTransport.h"

namespace zonbode::app::fakes {

// Messenger windows that keep every record they are sent.
class FakeMessenger final : public messengers::MessengerTransport, private LogsSteps {
public:
    explicit FakeMessenger(EventLog* log = nullptr) : LogsSteps(log) {}

    struct Record {
        std::string receiver;
        std::uint32_t dwData = 0;
        std::vector<std::uint8_t> bytes;

        // The record as text; every code unit of the records here is ASCII or Latin-1.
        std::string Text() const {
            std::string text;
            for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
                unsigned unit = bytes[i] | (bytes[i + 1] << 8);
                if (unit < 0x80) {
                    text += static_cast<char>(unit);
                } else if (unit < 0x800) {
                    text += static_cast<char>(0xC0 | (unit >> 6));
                    text += static_cast<char>(0x80 | (unit & 0x3F));
                } else {
                    text += static_cast<char>(0xE0 | (unit >> 12));
                    text += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
                    text += static_cast<char>(0x80 | (unit & 0x3F));
                }
            }
            return text;
        }
    };

    std::vector<std::string> receivers{"messenger-1"};
    std::vector<Record> records;
    // Runs after each record is taken, while the sender still waits for the receiver: what the
    // platform dispatches meanwhile.
    std::function<void(const Record&)> whileSending;

    std::vector<std::string> Receivers() override { return receivers; }
    void Send(const std::string& receiver, std::uint32_t dwData,
              std::span<const std::uint8_t> record) override {
        records.push_back({receiver, dwData, {record.begin(), record.end()}});
        Log("messenger.send " + records.back().Text());
        if (whileSending) {
            whileSending(Record(records.back()));
        }
    }
};

}  // namespace zonbode::app::fakes
