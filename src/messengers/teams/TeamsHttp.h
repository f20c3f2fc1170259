#pragma once

#include <string>

#include "messengers/teams/TeamsStatus.h"

namespace zonbode::messengers {

// The Microsoft identity platform and Microsoft Graph over the program's HTTPS seam.
class TeamsHttp final : public TeamsWeb {
public:
    TeamsHttp(std::string loginUrl, std::string graphUrl);

    WebReply Login(std::string_view tenant, std::string_view endpoint, const std::string& form,
                   std::chrono::milliseconds timeout) override;
    WebReply Graph(std::string_view path, const std::string& accessToken,
                   const std::string& jsonBody, std::chrono::milliseconds timeout) override;

private:
    std::string loginUrl_;
    std::string graphUrl_;
};

// "name=value&..." with each value percent-encoded, as a form POST carries it.
std::string FormBody(std::initializer_list<std::pair<std::string_view, std::string_view>> fields);

}  // namespace zonbode::messengers
