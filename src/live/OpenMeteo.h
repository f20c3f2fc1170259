#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "live/Place.h"

// Open-Meteo's daily forecast: the request URL and what its JSON answer holds.
namespace zonbode::live {

inline constexpr std::size_t kForecastDays = 7;

// A daily value; absent when the answer has null there or lacks the variable.
using Value = std::optional<double>;

struct DayValues {
    std::chrono::year_month_day date;
    Value sunshine;        // s
    Value daylight;        // s
    Value rainChance;      // %
    Value rainSum;         // mm
    Value minTemperature;  // degrees Celsius
    Value maxTemperature;  // degrees Celsius
    Value windDirection;   // degrees, where the wind comes from
    Value windSpeed;       // m/s, the day's maximum
};

// The daily variables asked for, in the order of the request, and where each one goes.
struct DailyVariable {
    std::string_view name;
    Value DayValues::*field;
};
inline constexpr std::array<DailyVariable, 8> kDailyVariables = {{
    {"sunshine_duration", &DayValues::sunshine},
    {"daylight_duration", &DayValues::daylight},
    {"precipitation_probability_max", &DayValues::rainChance},
    {"precipitation_sum", &DayValues::rainSum},
    {"temperature_2m_min", &DayValues::minTemperature},
    {"temperature_2m_max", &DayValues::maxTemperature},
    {"wind_direction_10m_dominant", &DayValues::windDirection},
    {"wind_speed_10m_max", &DayValues::windSpeed},
}};

// A value beyond this size is no weather: the answer carrying it is refused.
inline constexpr double kLargestValue = 1e9;

// The one request of a refresh: seven days of the daily variables for the place, wind in m/s,
// days by the clock of `timezone` (the place's own; Amsterdam's when it is not a zone name).
// `api` has no trailing slash.
std::string ForecastUrl(std::string_view api, std::string_view latitude, std::string_view longitude,
                        std::string_view timezone);

// The days of an answer with status 200; nullopt with `problem` set to one short sentence
// when it is not JSON or not exactly seven days of the variables. Never a part of the days.
std::optional<std::vector<DayValues>> ReadForecastAnswer(std::string_view json,
                                                         std::string& problem);

// The "reason" of an error answer ({"error": true, "reason": "..."}), or "".
std::string ErrorReason(std::string_view json);

}  // namespace zonbode::live
