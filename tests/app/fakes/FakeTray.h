#pragma once

#include "app/Ports.h"
#include "app/fakes/EventLog.h"

namespace zonbode::app::fakes {

class FakeTray final : public Tray, private LogsSteps {
public:
    explicit FakeTray(EventLog* log = nullptr) : LogsSteps(log) {}

    bool addFails = false;  // no notification area (yet): an add leaves the icon not shown
    bool iconShown = false;
    int added = 0;
    int removed = 0;

    bool IsIconShown() const override { return iconShown; }
    void AddTrayIcon() override {
        ++added;
        iconShown = iconShown || !addFails;
        Log("tray.add");
    }
    void RemoveTrayIcon() override {
        ++removed;
        iconShown = false;
        Log("tray.remove");
    }
};

}  // namespace zonbode::app::fakes
