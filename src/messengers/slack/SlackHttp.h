#pragma once

#include <string>

#include "messengers/slack/SlackStatus.h"

namespace zonbode::messengers {

// Slack's Web API over the program's HTTPS seam.
class SlackHttp final : public SlackWeb {
public:
    explicit SlackHttp(std::string apiUrl) : apiUrl_(std::move(apiUrl)) {}

    SlackReply Call(std::string_view method, const std::string& token, const std::string& jsonBody,
                    std::chrono::milliseconds timeout) override;

private:
    std::string apiUrl_;
};

}  // namespace zonbode::messengers
