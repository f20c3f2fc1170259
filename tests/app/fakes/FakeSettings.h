#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/Ports.h"
#include "app/fakes/EventLog.h"

namespace zonbode::app::fakes {

// The stored values in memory. A number reads back as its decimal digits, as the registry
// gives a REG_DWORD; a missing value reads as "".
class FakeSettings final : public SettingsStore, private LogsSteps {
public:
    explicit FakeSettings(EventLog* log = nullptr) : LogsSteps(log) {}

    struct Write {
        std::string path;
        std::string kind;  // "REG_SZ" or "REG_DWORD"
        std::string value;
        bool operator==(const Write&) const = default;
    };

    std::map<std::string, std::string> values;
    std::vector<std::string> reads;
    std::vector<Write> writes;

    std::string ReadRegValue(const std::string& valuePath) override {
        reads.push_back(valuePath);
        Log("settings.read " + valuePath);
        auto found = values.find(valuePath);
        return found == values.end() ? "" : found->second;
    }
    void WriteRegString(const std::string& valuePath, const std::string& text) override {
        values[valuePath] = text;
        writes.push_back({valuePath, "REG_SZ", text});
        Log("settings.write " + valuePath);
    }
    void WriteRegDword(const std::string& valuePath, std::int16_t value) override {
        values[valuePath] = std::to_string(value);
        writes.push_back({valuePath, "REG_DWORD", std::to_string(value)});
        Log("settings.write " + valuePath);
    }

    // One entry in the log for the whole set; the values land in `writes` one by one.
    void WriteRegValues(const std::vector<StoredValue>& batch) override {
        Log("settings.write-all " + std::to_string(batch.size()));
        EventLog* log = std::exchange(log_, nullptr);
        SettingsStore::WriteRegValues(batch);
        log_ = log;
    }
};

}  // namespace zonbode::app::fakes
