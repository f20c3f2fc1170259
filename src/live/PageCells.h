#pragma once

#include <chrono>
#include <string>

#include "live/OpenMeteo.h"

// The texts of the page's cells, one rule per row. An absent value gives "-". Values are
// finite and at most kLargestValue in size, as ReadForecastAnswer leaves them; rounding is
// half away from zero.
namespace zonbode::live {

inline constexpr const char* kNoValue = "-";

// The header cell: the weekday in two Dutch letters, "ma" to "zo".
std::string DayCell(std::chrono::year_month_day date);
// Row 1: the share of daylight with sunshine in whole percent, at most 100; 0 without daylight.
std::string SunCell(Value sunshine, Value daylight);
// Row 2 (chance of rain) and rows 4 and 5 (temperatures): the whole number.
std::string WholeCell(Value value);
// Row 3: millimetres to one decimal with a decimal comma, ",0" left off: "0", "0,4", "12".
std::string RainCell(Value millimetres);
// Row 6: the compass sector the wind comes from: N NO O ZO Z ZW W NW.
std::string WindDirectionCell(Value degrees);
// Row 7: the Beaufort force (0 to 12) of a wind speed in m/s.
std::string WindForceCell(Value metresPerSecond);

}  // namespace zonbode::live
