#pragma once

// What the gateway tests share: the recorded weather API as a real process and the table the
// recorded week must read as.

#include <string>

#include "LoopbackExchange.h"
#include "ServerProcess.h"

namespace zonbode::gateway::testing {

// answers/week.json as `zonbode-cli parse` prints it, one line per day.
inline constexpr const char* kRecordedWeekTable =
    "Donderdag\t0\t0\t0\t-4\t13\tN\t0\n"
    "Vrijdag\t13\t50\t0\t-3\t2\tN\t1\n"
    "Zaterdag\t12\t50\t0,1\t-1\t-13\tNO\t2\n"
    "Zondag\t100\t100\t0,5\t0\t0\tNW\t11\n"
    "Maandag\t0\t-\t12\t1\t20\tN\t12\n"
    "Dinsdag\t-\t0\t12,3\t1\t-\tZ\t5\n"
    "Woensdag\t-\t7\t-\t-\t36\t-\t-\n";

inline constexpr const char* kForecastPath = "/waarschuwingen_en_verwachtingen/index.html";

using zonbode::testing::HttpGet;
using zonbode::testing::ServerProcess;

// The recorded weather API (recorded_api.py) on a free loopback port.
class RecordedApi : public ServerProcess {
public:
    RecordedApi();
    // The --api-url that makes it answer with the recorded case (a file in answers/ without
    // ".json", or "http-500", or "silent").
    std::string Url(const std::string& answer) const;
};

}  // namespace zonbode::gateway::testing
