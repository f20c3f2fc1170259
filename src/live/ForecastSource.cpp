#include "ForecastSource.h"

#include "ForecastPageWriter.h"
#include "HttpGet.h"
#include "OpenMeteo.h"

namespace zonbode::gateway {

PageFetch FetchForecastPage(const ForecastSource& source) {
    PageFetch fetch;
    const HttpAnswer answer =
        HttpGet(ForecastUrl(source.api, source.latitude, source.longitude), kFetchTimeout);
    if (!answer.problem.empty()) {
        fetch.problem = answer.problem;
        return fetch;
    }
    if (answer.status != 200) {
        fetch.problem = "the weather service answered HTTP " + std::to_string(answer.status);
        const std::string reason = ErrorReason(answer.body);
        if (!reason.empty()) {
            fetch.problem += " (" + reason + ")";
        }
        return fetch;
    }
    const auto days = ReadForecastAnswer(answer.body, fetch.problem);
    if (days) {
        fetch.page = WriteForecastPage(*days, source.placeName);
    }
    return fetch;
}

}  // namespace zonbode::gateway
