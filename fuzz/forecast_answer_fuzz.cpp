// Feeds arbitrary bytes to the reader of Open-Meteo's forecast answer. It must never throw or
// crash; what it accepts is seven days of values within range, and the page written from them
// reads back as seven rows through the program's own parser.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "forecast/ForecastPage.h"
#include "live/ForecastPageWriter.h"
#include "live/OpenMeteo.h"
#include "net/AnsiCodePage.h"

using namespace zonbode;

namespace {

bool InRange(const live::Value& value) {
    return !value || std::fabs(*value) <= live::kLargestValue;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    std::string problem;
    const auto days = live::ReadForecastAnswer(json, problem);
    live::ErrorReason(json);
    if (!days) {
        if (problem.empty()) {
            std::abort();
        }
        return 0;
    }
    if (days->size() != live::kForecastDays || !problem.empty()) {
        std::abort();
    }
    for (const live::DayValues& day : *days) {
        for (const live::DailyVariable& variable : live::kDailyVariables) {
            if (!InRange(day.*variable.field)) {
                std::abort();
            }
        }
    }
    const std::string page = live::WriteForecastPage(*days, "De Bilt");
    const forecast::ParseOutcome parsed = forecast::ParseForecastPage(net::BytesToText(page));
    if (!parsed.ok() || parsed.rows.size() != live::kForecastDays) {
        std::abort();
    }
    return 0;
}
