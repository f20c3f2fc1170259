#include "live/Place.h"

namespace zonbode::live {

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
