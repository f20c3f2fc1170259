#pragma once

#include <chrono>
#include <string>

namespace zonbode::gateway {

inline constexpr const char* kDefaultApi = "https://api.open-meteo.com";
// How long one fetch may take, from the start to the last byte.
inline constexpr std::chrono::seconds kFetchTimeout{10};

// Where the forecast comes from and whom it is for.
struct ForecastSource {
    std::string api = kDefaultApi;  // no trailing slash
    std::string latitude;           // decimal degrees, as they go into the request
    std::string longitude;
    std::string placeName;  // UTF-8
};

// One fetch: the whole page, or only the reason there is none.
struct PageFetch {
    std::string page;
    std::string problem;
    bool ok() const { return problem.empty(); }
};

// Fetches the forecast and turns it into the page. Safe to call from any thread.
PageFetch FetchForecastPage(const ForecastSource& source);

}  // namespace zonbode::gateway
