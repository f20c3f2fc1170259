#include "http/HttpHeaderLine.h"

#include <charconv>

namespace zonbode::http {
namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<std::pair<std::string, std::string>> ReadHeaderLine(std::string_view line) {
    const auto colon = line.find(':');
    if (line.starts_with("HTTP/") || colon == std::string_view::npos || colon == 0) {
        return std::nullopt;
    }
    return std::pair{std::string(Trim(line.substr(0, colon))),
                     std::string(Trim(line.substr(colon + 1)))};
}

std::string TimeoutProblem(std::chrono::milliseconds timeout) {
    const auto ms = timeout.count();
    return "no answer within " +
           (ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms");
}

bool IsHttpUrl(std::string_view url) {
    for (std::string_view scheme : {"http://", "https://"}) {
        if (url.starts_with(scheme) && url.size() > scheme.size() && url[scheme.size()] != '/') {
            return true;
        }
    }
    return false;
}

void RefuseShortBody(HttpAnswer& answer) {
    const std::string length = answer.Header("Content-Length");
    std::size_t announced = 0;
    const auto [end, error] =
        std::from_chars(length.data(), length.data() + length.size(), announced);
    if (!length.empty() && error == std::errc() && end == length.data() + length.size() &&
        answer.body.size() < announced) {
        answer.failure = HttpFailure::CutOff;
        answer.problem = "the answer ended after " + std::to_string(answer.body.size()) + " of " +
                         length + " bytes";
    }
}

}  // namespace zonbode::http
