#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "app/Ports.h"
#include "messengers/RestorePoints.h"

namespace zonbode::app {

// The messengers' restore points among the program's settings, one value each ("HerstelSlack",
// "HerstelPidgin"). Give each thread that keeps restore points a store object of its own. A
// value equal to the one kept is not written again: Pidgin keeps its point at every record.
class SettingsRestorePoints final : public messengers::RestorePoints {
public:
    explicit SettingsRestorePoints(SettingsStore& settings) : settings_(settings) {}

    std::string Read(std::string_view messenger) override;
    void Write(std::string_view messenger, const std::string& kept) override;

private:
    SettingsStore& settings_;
    std::map<std::string, std::string, std::less<>> kept_;  // as read or written last
};

}  // namespace zonbode::app
