#pragma once

#include <string>
#include <vector>

#include "forecast/ForecastPage.h"

namespace zonbode::cli {

// The forecast table as the commands print it: one line per day, the eight fields separated
// by a TAB; inside a field \ is written \\, TAB \t, LF \n, CR \r and any other control
// character \xHH.
std::string FormatForecastRows(const std::vector<forecast::ForecastDay>& rows);

}  // namespace zonbode::cli
