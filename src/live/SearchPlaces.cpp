#include <exception>

#include "http/HttpClient.h"
#include "live/ForecastSource.h"
#include "live/LiveTexts.h"
#include "live/PlaceSearch.h"

namespace zonbode::live {

SearchOutcome SearchPlaces(std::string_view geocoding, std::string_view name) {
    SearchOutcome outcome;
    http::HttpRequest request;
    request.url = SearchUrl(geocoding, name);
    request.timeout = kFetchTimeout;
    try {
        const http::HttpAnswer answer = http::HttpFetch(request);
        std::string problem;
        PageFetch failed;
        if (!answer.answered()) {
            failed.kind = ProblemOf(answer.failure);
        } else if (answer.status != 200) {
            failed = HttpErrorOf(answer);
        } else if (auto matches = ReadSearchAnswer(answer.body, problem)) {
            outcome.matches = std::move(*matches);
            return outcome;
        } else {
            failed.kind = FetchProblem::BadAnswer;
        }
        outcome.problem = SearchProblemText(failed);
    } catch (const std::exception&) {
        PageFetch failed;
        failed.kind = FetchProblem::BadAnswer;
        outcome.problem = SearchProblemText(failed);
    }
    return outcome;
}

}  // namespace zonbode::live
