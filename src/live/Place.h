#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zonbode::live {

// The zone whose days a place gets when none is known (places stored before zones were).
inline constexpr std::string_view kDefaultTimeZone = "Europe/Amsterdam";

// A place the forecast is for. Degrees are decimal, written with a dot, as text, exactly as
// they are stored and as they go into the request ("52.1", "5.18"). Its days run from its
// own midnight to the next, in its time zone (an IANA name, as Open-Meteo gives it).
struct Place {
    std::string name;  // UTF-8
    std::string latitude;
    std::string longitude;
    std::string timezone{kDefaultTimeZone};
    bool operator==(const Place&) const = default;
};

// Whether `name` looks like an IANA time zone ("Europe/Amsterdam", "America/Argentina/Salta",
// "UTC"): letters, digits and _ + - in parts joined by "/"; what goes into a request or the
// settings is never anything else.
bool IsTimeZoneName(std::string_view name);

// Degrees as they are stored and sent: fixed notation with a dot and as many digits as it
// takes to read back as the same number ("0.0001", never "1e-04"); -0 is "0".
std::string DegreesText(double degrees);

// The place a new user gets: the one the institute's own seven-day page described.
Place DefaultPlace();

// One match of a place search, with what tells two places of one name apart.
struct PlaceMatch {
    Place place;
    std::string province;      // Open-Meteo's admin1; may be empty
    std::string country;       // in Dutch; may be empty
    std::string kind;          // the GeoNames feature code ("PPL", "ADM1"); may be empty
    std::string municipality;  // admin2; may be empty
};

// "De Bilt (Utrecht, Nederland)": how a match is offered to the user.
std::string MatchLabel(const PlaceMatch& match);

// The labels of a search's matches, each one unique: matches of one label get the kind of
// place ("plaats", "provincie"), then their municipality, then their degrees after it.
std::vector<std::string> MatchLabels(const std::vector<PlaceMatch>& matches);

// A finished search: the matches (none when nothing matched), or a Dutch sentence saying why
// the search failed.
struct SearchOutcome {
    std::vector<PlaceMatch> matches;
    std::string problem;  // empty when the service answered
    bool ok() const { return problem.empty(); }
};

}  // namespace zonbode::live
