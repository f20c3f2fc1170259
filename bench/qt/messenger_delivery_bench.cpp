// Time per status record delivered by the Linux program's transports (the CopyData receivers,
// then Pidgin or Finch), with whatever runs on the session bus at the time:
// bench/messenger-delivery.sh runs it once without Pidgin and once with it.
//   FirstDayRecord: the first day's status after the start, once: a Pidgin just started may
//              take long over its first change
//   DayRecord: a day's status; each one a new message, so Pidgin finds or makes a status,
//              sets its message and activates it
//   DayRecordThenSwitchOff: a day's status and the switch-off that brings the earlier back

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <string>

#include "app/qt/DBusMessengerTransport.h"
#include "app/qt/PurpleMessengerTransport.h"
#include "status/MessengerTransportList.h"
#include "status/StatusMessage.h"

namespace {

using namespace zonbode;

// What the bus holds at the time: whether Pidgin is there.
void Label(benchmark::State& state, app::qt::PurpleMessengerTransport& purple) {
    state.SetLabel(purple.Receivers().empty() ? "Pidgin absent" : "Pidgin present");
}

void FirstDayRecord(benchmark::State& state) {
    app::qt::DBusMessengerTransport copyData;
    app::qt::PurpleMessengerTransport purple;
    status::MessengerTransportList messengers({&copyData, &purple});
    for (auto _ : state) {
        status::SendMessengerStatus(messengers, status::kStatusCategory, true,
                                    status::kStatusFormat, "Eerste dag | Kans op zon: 40%");
    }
    Label(state, purple);
}

void DayRecord(benchmark::State& state) {
    app::qt::DBusMessengerTransport copyData;
    app::qt::PurpleMessengerTransport purple;
    status::MessengerTransportList messengers({&copyData, &purple});
    int day = 0;
    for (auto _ : state) {
        status::SendMessengerStatus(messengers, status::kStatusCategory, true,
                                    status::kStatusFormat,
                                    "Dag " + std::to_string(day++ % 7) + " | Kans op zon: 40%");
    }
    Label(state, purple);
}

void DayRecordThenSwitchOff(benchmark::State& state) {
    app::qt::DBusMessengerTransport copyData;
    app::qt::PurpleMessengerTransport purple;
    status::MessengerTransportList messengers({&copyData, &purple});
    int day = 0;
    for (auto _ : state) {
        status::SendMessengerStatus(messengers, status::kStatusCategory, true,
                                    status::kStatusFormat,
                                    "Dag " + std::to_string(day++ % 7) + " | Kans op zon: 40%");
        status::SendMessengerStatus(messengers, status::kSwitchOffCategory, false,
                                    status::kSwitchOffFormat, "");
    }
    Label(state, purple);
}

BENCHMARK(FirstDayRecord)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(1);
BENCHMARK(DayRecord)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DayRecordThenSwitchOff)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // The bus connection wants an application object.
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
