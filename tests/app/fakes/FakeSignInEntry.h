#pragma once

#include "app/Ports.h"
#include "app/fakes/EventLog.h"

namespace zonbode::app::fakes {

// The sign-in entry as a state: Put leaves it in place, Remove leaves none.
class FakeSignInEntry final : public SignInEntry {
public:
    explicit FakeSignInEntry(EventLog* log = nullptr) : log_(log) {}

    State state = State::Missing;

    State Look() const override { return state; }
    void Put() override {
        state = State::InPlace;
        Log("signin.put");
    }
    void Remove() override {
        state = State::Missing;
        Log("signin.remove");
    }

private:
    void Log(const char* entry) {
        if (log_ != nullptr) {
            log_->Add(entry);
        }
    }
    EventLog* log_;
};

}  // namespace zonbode::app::fakes
