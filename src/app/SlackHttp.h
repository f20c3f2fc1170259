#pragma once

#include <string>

#include "status/SlackStatus.h"

namespace zonbode::app {

// Slack's Web API over the program's HTTPS seam.
class SlackHttp final : public status::SlackWeb {
public:
    explicit SlackHttp(std::string apiUrl) : apiUrl_(std::move(apiUrl)) {}

    status::SlackReply Call(std::string_view method, const std::string& token,
                            const std::string& jsonBody,
                            std::chrono::milliseconds timeout) override;

private:
    std::string apiUrl_;
};

}  // namespace zonbode::app
