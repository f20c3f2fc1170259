#pragma once

#include "app/Ports.h"
#include "app/fakes/EventLog.h"
#include "app/fakes/FakeClock.h"
#include "app/fakes/FakeMessenger.h"
#include "app/fakes/FakeProcessControl.h"
#include "app/fakes/FakeSettings.h"
#include "app/fakes/FakeSignInEntry.h"
#include "app/fakes/FakeTimers.h"
#include "app/fakes/FakeTray.h"
#include "app/fakes/FakeView.h"

namespace zonbode::app::fakes {

// Every port faked, sharing one event log. Ports() hands them to a Form1.
struct FakePorts {
    EventLog log;
    FakeView view{&log};
    FakeTimerFactory timers;
    FakeSettings settings{&log};
    FakeMessenger messenger{&log};
    FakeTray tray{&log};
    FakeProcessControl process{&log};
    FakeClock clock;
    FakeSignInEntry signIn{&log};

    app::Ports Ports() { return {view, timers, settings, messenger, tray, process, clock, signIn}; }
};

}  // namespace zonbode::app::fakes
