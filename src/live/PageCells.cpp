#include "live/PageCells.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zonbode::live {
namespace {

// Beaufort force n starts at the n-th of these speeds (m/s).
constexpr std::array<double, 12> kBeaufortFloors = {0.3,  1.6,  3.4,  5.5,  8.0,  10.8,
                                                    13.9, 17.2, 20.8, 24.5, 28.5, 32.7};
constexpr std::array<const char*, 8> kSectors = {"N", "NO", "O", "ZO", "Z", "ZW", "W", "NW"};
// Monday first, as std::chrono::weekday::iso_encoding counts from 1.
constexpr std::array<const char*, 7> kWeekdays = {"ma", "di", "wo", "do", "vr", "za", "zo"};

}  // namespace

std::string DayCell(std::chrono::year_month_day date) {
    const std::chrono::weekday weekday{std::chrono::sys_days{date}};
    return kWeekdays[weekday.iso_encoding() - 1];
}

std::string SunCell(Value sunshine, Value daylight) {
    if (!sunshine || !daylight) {
        return kNoValue;
    }
    if (*daylight <= 0) {
        return "0";
    }
    // Clamped before rounding: a tiny daylight must not overflow the whole number.
    return std::to_string(std::llround(std::clamp(100 * *sunshine / *daylight, 0.0, 100.0)));
}

std::string WholeCell(Value value) {
    // llround gives 0 for -0.4, so no "-0".
    return value ? std::to_string(std::llround(*value)) : kNoValue;
}

std::string RainCell(Value millimetres) {
    if (!millimetres) {
        return kNoValue;
    }
    const long long tenths = std::llround(*millimetres * 10);
    const long long size = tenths < 0 ? -tenths : tenths;
    std::string text = (tenths < 0 ? "-" : "") + std::to_string(size / 10);
    if (size % 10 != 0) {
        text += "," + std::to_string(size % 10);
    }
    return text;
}

std::string WindDirectionCell(Value degrees) {
    if (!degrees) {
        return kNoValue;
    }
    const auto sector = static_cast<long long>(std::floor((*degrees + 22.5) / 45));
    return kSectors[static_cast<std::size_t>((sector % 8 + 8) % 8)];
}

std::string WindForceCell(Value metresPerSecond) {
    if (!metresPerSecond) {
        return kNoValue;
    }
    int force = 0;
    for (double floor : kBeaufortFloors) {
        force += *metresPerSecond >= floor ? 1 : 0;
    }
    return std::to_string(force);
}

}  // namespace zonbode::live
