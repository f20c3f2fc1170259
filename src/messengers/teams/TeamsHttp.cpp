#include "messengers/teams/TeamsHttp.h"

#include "http/HttpClient.h"
#include "http/QueryText.h"

namespace zonbode::messengers {
namespace {

std::string WithoutTrailingSlash(std::string url) {
    while (!url.empty() && url.back() == '/') {
        url.pop_back();
    }
    return url;
}

WebReply Exchange(http::HttpRequest& request, std::chrono::milliseconds timeout) {
    request.timeout = timeout;
    request.largestAnswer = 256 * 1024;  // the answers are small; a large one is not theirs
    try {
        const http::HttpAnswer answer = http::HttpFetch(request);
        if (!answer.answered()) {
            WebReply none;
            none.untrusted = answer.failure == http::HttpFailure::Untrusted;
            return none;
        }
        return {true, answer.status, answer.Header("Retry-After"), answer.body, false};
    } catch (...) {
        return {};
    }
}

}  // namespace

TeamsHttp::TeamsHttp(std::string loginUrl, std::string graphUrl)
    : loginUrl_(WithoutTrailingSlash(std::move(loginUrl))),
      graphUrl_(WithoutTrailingSlash(std::move(graphUrl))) {}

WebReply TeamsHttp::Login(std::string_view tenant, std::string_view endpoint,
                          const std::string& form, std::chrono::milliseconds timeout) {
    http::HttpRequest request;
    request.method = "POST";
    request.url =
        loginUrl_ + "/" + http::PercentEncoded(tenant) + "/oauth2/v2.0/" + std::string(endpoint);
    request.headers = {{"Content-Type", "application/x-www-form-urlencoded"}};
    request.body = form;
    return Exchange(request, timeout);
}

WebReply TeamsHttp::Graph(std::string_view path, const std::string& accessToken,
                          const std::string& jsonBody, std::chrono::milliseconds timeout) {
    http::HttpRequest request;
    request.url = graphUrl_ + "/v1.0/" + std::string(path);
    request.headers = {{"Authorization", "Bearer " + accessToken}};
    if (!jsonBody.empty()) {
        request.method = "POST";
        request.headers.emplace_back("Content-Type", "application/json");
        request.body = jsonBody;
    }
    return Exchange(request, timeout);
}

std::string FormBody(std::initializer_list<std::pair<std::string_view, std::string_view>> fields) {
    std::string body;
    for (const auto& [name, value] : fields) {
        body += body.empty() ? "" : "&";
        body += std::string(name) + "=" + http::PercentEncoded(value);
    }
    return body;
}

}  // namespace zonbode::messengers
