#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "live/OpenMeteo.h"

namespace zonbode::live {

// The line the page carries below the forecast table: the data's licence asks for it.
inline constexpr std::string_view kAttribution = "Weerdata: Open-Meteo.com";

// The forecast page Zonbode reads, as ISO-8859-1 bytes: one table whose header row (marked
// "trcolor") names the place in its corner cell and the days in its "th" cells, followed by
// the seven rows of values in "td" cells. `placeName` is UTF-8.
std::string WriteForecastPage(const std::vector<DayValues>& days, std::string_view placeName);

}  // namespace zonbode::live
