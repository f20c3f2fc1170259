#include "messengers/slack/SlackHttp.h"

#include "http/HttpClient.h"

namespace zonbode::messengers {

SlackReply SlackHttp::Call(std::string_view method, const std::string& token,
                           const std::string& jsonBody, std::chrono::milliseconds timeout) {
    http::HttpRequest request;
    request.url = apiUrl_;
    if (!request.url.empty() && request.url.back() == '/') {
        request.url.pop_back();
    }
    request.url += '/';
    request.url += method;
    request.headers = {{"Authorization", "Bearer " + token}};
    if (!jsonBody.empty()) {
        request.method = "POST";
        request.headers.emplace_back("Content-Type", "application/json; charset=utf-8");
        request.body = jsonBody;
    }
    request.timeout = timeout;
    // Slack's answers are small; a large one is not Slack's.
    request.largestAnswer = 256 * 1024;
    try {
        const http::HttpAnswer answer = http::HttpFetch(request);
        if (!answer.answered()) {
            SlackReply none;
            none.untrusted = answer.failure == http::HttpFailure::Untrusted;
            return none;
        }
        return {true,        answer.status, answer.Header("Retry-After"),
                answer.body, false,         answer.Header("x-oauth-scopes")};
    } catch (...) {
        return {};
    }
}

}  // namespace zonbode::messengers
