#pragma once

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ServerProcess.h"
#include "http/HttpClient.h"

namespace zonbode::testing {

// The identity platform and Graph as recorded (tests/support/recorded_teams.py), run as a
// child on loopback; the test steers it and reads what it was sent. Needs ZONBODE_PYTHON and
// ZONBODE_RECORDED_TEAMS.
class RecordedTeams {
public:
    static constexpr const char* kClient = "7d5a3a0e-0000-4000-8000-00000000e2e7";
    static constexpr const char* kRefreshToken = "rt-e2e-seeded-secret";

    RecordedTeams()
        : server_(ZONBODE_PYTHON, {ZONBODE_RECORDED_TEAMS}),
          url_("http://127.0.0.1:" + std::to_string(server_.Port())) {
        if (!server_.Listening()) {
            throw std::runtime_error("recorded_teams.py said " + server_.FirstLine());
        }
    }

    std::string LoginUrl() const { return url_ + "/login"; }
    std::string GraphUrl() const { return url_ + "/graph"; }

    // Any of "status", "token_script", "interval", "refuse", "refresh_tokens", "graph_down".
    void Set(const nlohmann::json& settings) { Control("set", settings.dump()); }

    struct Seen {
        std::vector<std::string> calls;  // "METHOD /path"
        std::vector<std::string> bodies;
        nlohmann::json status;
    };
    Seen Look() {
        const auto answer = nlohmann::json::parse(Control("calls", {}));
        Seen seen;
        for (const auto& call : answer.at("calls")) {
            seen.calls.push_back(call[0].get<std::string>() + " " + call[1].get<std::string>());
            seen.bodies.push_back(call[3].get<std::string>());
        }
        seen.status = answer.at("status");
        return seen;
    }

private:
    std::string Control(const std::string& what, const std::string& body) {
        http::HttpRequest request;
        request.url = url_ + "/control/" + what;
        if (!body.empty()) {
            request.method = "POST";
            request.body = body;
        }
        return http::HttpFetch(request).body;
    }

    ServerProcess server_;
    std::string url_;
};

}  // namespace zonbode::testing
