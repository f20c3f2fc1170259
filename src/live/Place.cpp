#include "live/Place.h"

#include <charconv>

namespace zonbode::live {

std::string DegreesText(double degrees) {
    // The smallest double written out in full takes some 1100 characters.
    char text[1100];
    // + 0.0 turns -0 into 0.
    const auto written =
        std::to_chars(text, text + sizeof text, degrees + 0.0, std::chars_format::fixed);
    return written.ec == std::errc() ? std::string(text, written.ptr) : std::string("0");
}

bool IsTimeZoneName(std::string_view name) {
    if (name.empty() || name.size() > 64 || name.front() == '/' || name.back() == '/' ||
        name.find("//") != std::string_view::npos) {
        return false;
    }
    for (char c : name) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                             (c >= '0' && c <= '9') || c == '/' || c == '_' || c == '-' || c == '+';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

Place DefaultPlace() {
    return {"De Bilt", "52.1", "5.18"};
}

std::string MatchLabel(const PlaceMatch& match) {
    std::string where = match.province;
    if (!match.country.empty()) {
        where += (where.empty() ? "" : ", ") + match.country;
    }
    return where.empty() ? match.place.name : match.place.name + " (" + where + ")";
}

}  // namespace zonbode::live
