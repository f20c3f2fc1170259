#pragma once

#include "app/Ports.h"
#include "app/fakes/EventLog.h"

namespace zonbode::app::fakes {

// Records the end of the process instead of ending it.
class FakeProcessControl final : public ProcessControl {
public:
    explicit FakeProcessControl(EventLog* log = nullptr) : log_(log) {}

    int ended = 0;

    void EndProcess() override {
        ++ended;
        if (log_ != nullptr) {
            log_->Add("process.end");
        }
    }

private:
    EventLog* log_;
};

}  // namespace zonbode::app::fakes
