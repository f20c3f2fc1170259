#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zonbode::app::fakes {

// One ordered record of what the fakes were asked to do, shared by all of them, so a test can
// check the order of steps across ports ("tray.remove" before "process.end", ...).
struct EventLog {
    std::vector<std::string> entries;

    void Add(std::string entry) { entries.push_back(std::move(entry)); }

    // The entries that start with prefix, in order.
    std::vector<std::string> With(const std::string& prefix) const {
        std::vector<std::string> result;
        for (const std::string& e : entries) {
            if (e.rfind(prefix, 0) == 0) {
                result.push_back(e);
            }
        }
        return result;
    }
};

// What every fake that writes to the log shares: the log, when a test gave one.
class LogsSteps {
protected:
    explicit LogsSteps(EventLog* log) : log_(log) {}

    void Log(std::string entry) {
        if (log_ != nullptr) {
            log_->Add(std::move(entry));
        }
    }

    EventLog* log_;
};

}  // namespace zonbode::app::fakes
