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

#include "messengers/MessengerDelivery.h"
#include "messengers/MessengerTransportList.h"
#include "messengers/copydata/qt/DBusMessengerTransport.h"
#include "messengers/pidgin/qt/PurpleMessengerTransport.h"
#include "status/StatusMessage.h"

namespace {

using namespace zonbode;

// The Linux program's transports, as it uses them.
class Messengers {
public:
    void SendDay(const std::string& text) {
        messengers::SendMessengerStatus(list_, status::kStatusCategory, true, status::kStatusFormat,
                                        text);
    }
    void SendSwitchOff() {
        messengers::SendMessengerStatus(list_, status::kSwitchOffCategory, false,
                                        status::kSwitchOffFormat, "");
    }
    // What the bus holds at the time: whether Pidgin is there.
    void Label(benchmark::State& state) {
        state.SetLabel(purple_.Receivers().empty() ? "Pidgin absent" : "Pidgin present");
    }

private:
    messengers::qt::DBusMessengerTransport copyData_;
    messengers::RestorePointsInMemory restorePoints_;
    messengers::qt::PurpleMessengerTransport purple_{restorePoints_};
    messengers::MessengerTransportList list_{{&copyData_, &purple_}};
};

std::string NextDay(int& day) {
    return "Dag " + std::to_string(day++ % 7) + " | Kans op zon: 40%";
}

void FirstDayRecord(benchmark::State& state) {
    Messengers messengers;
    for (auto _ : state) {
        messengers.SendDay("Eerste dag | Kans op zon: 40%");
    }
    messengers.Label(state);
}

void DayRecord(benchmark::State& state) {
    Messengers messengers;
    int day = 0;
    for (auto _ : state) {
        messengers.SendDay(NextDay(day));
    }
    messengers.Label(state);
}

void DayRecordThenSwitchOff(benchmark::State& state) {
    Messengers messengers;
    int day = 0;
    for (auto _ : state) {
        messengers.SendDay(NextDay(day));
        messengers.SendSwitchOff();
    }
    messengers.Label(state);
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
