#include <array>
#include <string>
#include <string_view>

#include "forecast/ForecastPage.h"

namespace zonbode::forecast {
namespace {

struct DayName {
    std::string_view abbreviation;
    std::string_view name;
};

constexpr std::array<DayName, 7> kDayNames = {{
    {"ma", "Maandag"},
    {"di", "Dinsdag"},
    {"wo", "Woensdag"},
    {"do", "Donderdag"},
    {"vr", "Vrijdag"},
    {"za", "Zaterdag"},
    {"zo", "Zondag"},
}};

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string ExpandDayName(std::string_view abbreviation) {
    // The whole text must match; only ASCII letters can lower-case into an abbreviation.
    std::string lower(abbreviation);
    for (char& c : lower) {
        c = AsciiLower(c);
    }
    for (const DayName& day : kDayNames) {
        if (lower == day.abbreviation) {
            return std::string(day.name);
        }
    }
    return {};
}

}  // namespace zonbode::forecast
