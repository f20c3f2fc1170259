#pragma once

#include <string>
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

}  // namespace zonbode::app::fakes
