#pragma once

#include "app/Ports.h"
#include "app/fakes/EventLog.h"

namespace zonbode::app::fakes {

// Records the end of the process instead of ending it.
class FakeProcessControl final : public ProcessControl, private LogsSteps {
public:
    explicit FakeProcessControl(EventLog* log = nullptr) : LogsSteps(log) {}

    int ended = 0;

    void EndProcess() override {
        ++ended;
        Log("process.end");
    }
};

}  // namespace zonbode::app::fakes
