#pragma once

#include <chrono>
#include <string>

#include "http/HttpClient.h"
#include "live/Place.h"

namespace zonbode::live {

inline constexpr const char* kDefaultApi = "https://api.open-meteo.com";
// How long one fetch may take, from the start to the last byte.
inline constexpr std::chrono::seconds kFetchTimeout{10};

// Where the forecast comes from and whom it is for.
struct ForecastSource {
    std::string api = kDefaultApi;  // no trailing slash
    std::string latitude;           // decimal degrees, as they go into the request
    std::string longitude;
    std::string placeName;                   // UTF-8
    std::string timezone{kDefaultTimeZone};  // whose days: the place's own
};

// Why a fetch gave no page, as far as the user is told.
enum class FetchProblem {
    None,
    NoLookup,     // the service's name could not be resolved (often: no network)
    Unreachable,  // refused, unreachable, or the secure connection failed
    Untrusted,    // the service's certificate is not trusted
    Silent,       // no whole answer in time
    CutOff,       // the answer ended early
    HttpError,    // an answer with a status other than 200
    BadAnswer,    // not a whole seven-day forecast (or the reading of it failed)
};

// One fetch: the whole page, or only the reason there is none.
struct PageFetch {
    std::string page;
    FetchProblem kind = FetchProblem::None;
    long status = 0;      // the HTTP status of an HttpError
    std::string reason;   // the service's own reason for an HttpError, one clean line; may be ""
    std::string problem;  // one short English sentence for logs
    bool ok() const { return kind == FetchProblem::None; }
};

// What a failed exchange means for the user.
FetchProblem ProblemOf(http::HttpFailure failure);

// An answer with a status other than 200, with the reason the service gave in its body.
PageFetch HttpErrorOf(const http::HttpAnswer& answer);

// Fetches the forecast and turns it into the page. Safe to call from any thread; never throws:
// whatever goes wrong on the way is a refused answer.
PageFetch FetchForecastPage(const ForecastSource& source);

}  // namespace zonbode::live
