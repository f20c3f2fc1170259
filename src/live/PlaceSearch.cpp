#include "live/PlaceSearch.h"

#include <cmath>
#include <exception>
#include <nlohmann/json.hpp>

#include "http/QueryText.h"

namespace zonbode::live {
namespace {

using Json = nlohmann::json;

// Degrees as the settings keep them.
std::optional<std::string> Degrees(const Json& value, double limit) {
    if (!value.is_number()) {
        return std::nullopt;
    }
    const double degrees = value.get<double>();
    if (!(std::fabs(degrees) <= limit)) {
        return std::nullopt;
    }
    return DegreesText(degrees);
}

std::string TextField(const Json& result, const char* name) {
    const auto it = result.find(name);
    return it != result.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::optional<PlaceMatch> ReadMatch(const Json& result) {
    if (!result.is_object()) {
        return std::nullopt;
    }
    const auto latitude = Degrees(result.value("latitude", Json()), 90);
    const auto longitude = Degrees(result.value("longitude", Json()), 180);
    const std::string name = TextField(result, "name");
    if (!latitude || !longitude || name.empty()) {
        return std::nullopt;
    }
    std::string timezone = TextField(result, "timezone");
    if (!IsTimeZoneName(timezone)) {
        timezone = kDefaultTimeZone;
    }
    return PlaceMatch{{name, *latitude, *longitude, timezone},
                      TextField(result, "admin1"),
                      TextField(result, "country"),
                      TextField(result, "feature_code"),
                      TextField(result, "admin2")};
}

std::optional<std::vector<PlaceMatch>> ReadMatches(std::string_view json, std::string& problem) {
    Json answer;
    try {
        answer = Json::parse(json);
    } catch (const Json::exception& error) {
        problem = std::string("the answer is not JSON: ") + error.what();
        return std::nullopt;
    }
    if (!answer.is_object()) {
        problem = "the answer is not a JSON object";
        return std::nullopt;
    }
    std::vector<PlaceMatch> matches;
    const auto results = answer.find("results");
    if (results == answer.end()) {
        return matches;  // how the service says that nothing matched
    }
    if (!results->is_array()) {
        problem = "results is not a list";
        return std::nullopt;
    }
    for (const Json& result : *results) {
        if (auto match = ReadMatch(result); match && matches.size() < kMostMatches) {
            matches.push_back(std::move(*match));
        }
    }
    return matches;
}

}  // namespace

std::string SearchUrl(std::string_view geocoding, std::string_view name) {
    std::string url(geocoding);
    url.append("/v1/search?name=").append(http::PercentEncoded(name));
    return url.append("&count=" + std::to_string(kMostMatches) + "&language=nl&format=json");
}

std::optional<std::vector<PlaceMatch>> ReadSearchAnswer(std::string_view json,
                                                        std::string& problem) {
    try {
        return ReadMatches(json, problem);
    } catch (const std::exception& error) {
        problem = std::string("the answer could not be read: ") + error.what();
        return std::nullopt;
    }
}

}  // namespace zonbode::live
