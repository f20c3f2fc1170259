#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "live/Place.h"

// Open-Meteo's geocoding search: the request URL and what its JSON answer holds.
namespace zonbode::live {

inline constexpr const char* kDefaultGeocoding = "https://geocoding-api.open-meteo.com";
inline constexpr std::size_t kMostMatches = 10;

// `{geo}/v1/search?name=NAME&count=10&language=nl&format=json`, NAME percent-encoded as UTF-8.
std::string SearchUrl(std::string_view geocoding, std::string_view name);

// The matches of an answer with status 200, in the answer's order (none when it has no
// "results"); nullopt with `problem` set to one short English sentence when it is not such an
// answer. Never throws.
std::optional<std::vector<PlaceMatch>> ReadSearchAnswer(std::string_view json,
                                                        std::string& problem);

// One search, blocking (at most the fetch timeout): call it off the user-interface thread.
SearchOutcome SearchPlaces(std::string_view geocoding, std::string_view name);

}  // namespace zonbode::live
