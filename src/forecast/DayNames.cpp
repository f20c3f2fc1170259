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
    if (abbreviation.size() != 2) {
        return {};
    }
    const char lower[2] = {AsciiLower(abbreviation[0]), AsciiLower(abbreviation[1])};
    for (const DayName& day : kDayNames) {
        if (std::string_view(lower, 2) == day.abbreviation) {
            return std::string(day.name);
        }
    }
    return {};
}

}  // namespace zonbode::forecast
