#pragma once

#include "app/Ports.h"
#include "app/fakes/EventLog.h"

namespace zonbode::app::fakes {

// The sign-in entry as a state: Put leaves it in place, Remove leaves none.
class FakeSignInEntry final : public SignInEntry, private LogsSteps {
public:
    explicit FakeSignInEntry(EventLog* log = nullptr) : LogsSteps(log) {}

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
};

}  // namespace zonbode::app::fakes
