#include "live/ForecastSource.h"

#include <exception>

#include "http/HttpClient.h"
#include "live/ForecastPageWriter.h"
#include "live/OpenMeteo.h"

namespace zonbode::live {
FetchProblem ProblemOf(http::HttpFailure failure) {
    switch (failure) {
        case http::HttpFailure::NoLookup:
            return FetchProblem::NoLookup;
        case http::HttpFailure::TimedOut:
            return FetchProblem::Silent;
        case http::HttpFailure::CutOff:
            return FetchProblem::CutOff;
        case http::HttpFailure::TooLarge:
            return FetchProblem::BadAnswer;
        case http::HttpFailure::Untrusted:
            return FetchProblem::Untrusted;
        default:
            return FetchProblem::Unreachable;
    }
}

namespace {

PageFetch Refused(FetchProblem kind, std::string problem) {
    PageFetch fetch;
    fetch.kind = kind;
    fetch.problem = std::move(problem);
    return fetch;
}

}  // namespace

PageFetch HttpErrorOf(const http::HttpAnswer& answer) {
    PageFetch fetch = Refused(FetchProblem::HttpError,
                              "the weather service answered HTTP " + std::to_string(answer.status));
    fetch.status = answer.status;
    fetch.reason = ErrorReason(answer.body);
    if (!fetch.reason.empty()) {
        fetch.problem += " (" + fetch.reason + ")";
    }
    return fetch;
}

namespace {

PageFetch Fetch(const ForecastSource& source) {
    http::HttpRequest request;
    request.url = ForecastUrl(source.api, source.latitude, source.longitude, source.timezone);
    request.timeout = kFetchTimeout;
    const http::HttpAnswer answer = http::HttpFetch(request);
    if (!answer.answered()) {
        return Refused(ProblemOf(answer.failure), answer.problem);
    }
    if (answer.status != 200) {
        return HttpErrorOf(answer);
    }
    PageFetch fetch;
    const auto days = ReadForecastAnswer(answer.body, fetch.problem);
    if (!days) {
        return Refused(FetchProblem::BadAnswer, fetch.problem);
    }
    fetch.page = WriteForecastPage(*days, source.placeName);
    return fetch;
}

}  // namespace

PageFetch FetchForecastPage(const ForecastSource& source) {
    try {
        return Fetch(source);
    } catch (const std::exception& error) {
        return Refused(FetchProblem::BadAnswer,
                       std::string("the answer could not be read: ") + error.what());
    } catch (...) {
        return Refused(FetchProblem::BadAnswer, "the answer could not be read");
    }
}

}  // namespace zonbode::live
