#pragma once

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ServerProcess.h"
#include "messengers/slack/SlackHttp.h"

namespace zonbode::testing {

// Slack's Web API as recorded (tests/support/recorded_slack.py), run as a child on loopback:
// one profile, answered in the documented shapes; the test steers it and reads what it was
// sent. Needs ZONBODE_PYTHON and ZONBODE_RECORDED_SLACK.
class RecordedSlack {
public:
    RecordedSlack()
        : server_(ZONBODE_PYTHON, {ZONBODE_RECORDED_SLACK}),
          url_("http://127.0.0.1:" + std::to_string(server_.Port()) + "/api"),
          control_(url_) {
        if (!server_.Listening()) {
            throw std::runtime_error("recorded_slack.py said " + server_.FirstLine());
        }
    }

    const std::string& Url() const { return url_; }

    // Any of "status", "refuse" ([429, seconds] or [200, "error"], null for none), "scopes",
    // "bot", "delay" (seconds before each answer).
    void Set(const nlohmann::json& settings) {
        if (settings.is_null()) {
            return;
        }
        control_.Call("control.set", "", settings.dump(), std::chrono::seconds(10));
    }
    static nlohmann::json Status(const std::string& text, const std::string& emoji,
                                 std::int64_t expiration = 0) {
        return {{"status_text", text}, {"status_emoji", emoji}, {"status_expiration", expiration}};
    }

    // The calls since the last look, each as "METHOD /api/NAME", and the status shown now.
    struct Seen {
        std::vector<std::string> calls;
        std::vector<std::string> tokens;  // each call's Authorization header
        std::vector<nlohmann::json> bodies;
        nlohmann::json status;
    };
    Seen Look() {
        const auto reply = control_.Call("control.calls", "", {}, std::chrono::seconds(10));
        const auto answer = nlohmann::json::parse(reply.body);
        Seen seen;
        for (const auto& call : answer.at("calls")) {
            seen.calls.push_back(call[0].get<std::string>() + " " + call[1].get<std::string>());
            seen.tokens.push_back(call[2].is_string() ? call[2].get<std::string>() : "");
            seen.bodies.push_back(call[3]);
        }
        seen.status = answer.at("status");
        return seen;
    }

private:
    ServerProcess server_;
    std::string url_;
    messengers::SlackHttp control_;
};

}  // namespace zonbode::testing
