#pragma once

#include <string>
#include <string_view>

#include "app/Ports.h"
#include "messengers/RestorePoints.h"

namespace zonbode::app {

// The messengers' restore points among the program's settings, one value each ("HerstelSlack",
// "HerstelPidgin"). Give each thread that keeps restore points a store object of its own.
class SettingsRestorePoints final : public messengers::RestorePoints {
public:
    explicit SettingsRestorePoints(SettingsStore& settings) : settings_(settings) {}

    std::string Read(std::string_view messenger) override;
    void Write(std::string_view messenger, const std::string& kept) override;

private:
    SettingsStore& settings_;
};

}  // namespace zonbode::app
