#include <charconv>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "messengers/StatusCut.h"
#include "messengers/WebAnswers.h"
#include "messengers/teams/TeamsStatus.h"

namespace zonbode::messengers {
namespace {

using nlohmann::json;

std::chrono::seconds SecondsAt(const json& object, const char* key, std::chrono::seconds dflt) {
    const auto it = object.find(key);
    if (it != object.end() && it->is_number_integer() && it->get<std::int64_t>() >= 0) {
        return std::chrono::seconds(it->get<std::int64_t>());
    }
    return dflt;
}

// Graph writes "2026-12-09T15:04:05.0000000"; the seconds are what count. A date in the year
// 9999 is Graph's way of saying never.
std::string ExpiryOf(const json& statusMessage) {
    const auto expiry = statusMessage.find("expiryDateTime");
    if (expiry == statusMessage.end() || !expiry->is_object()) {
        return {};
    }
    std::string at = TextAt(*expiry, "dateTime").substr(0, 19);
    return at.starts_with("9999") ? std::string() : at;
}

json Parsed(const WebReply& reply) {
    return json::parse(reply.body, nullptr, false);
}

}  // namespace

std::string TeamsStatusText(std::string_view text) {
    return CutToCharacters(text, kTeamsStatusLength);
}

std::string UtcDateTime(std::chrono::system_clock::time_point at) {
    using namespace std::chrono;
    const auto day = floor<days>(at);
    const year_month_day date{day};
    const hh_mm_ss time{floor<seconds>(at - day)};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02ld:%02ld:%02ld",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<long>(time.hours().count()),
                  static_cast<long>(time.minutes().count()),
                  static_cast<long>(time.seconds().count()));
    return text;
}

std::string TeamsStatusBody(const TeamsStatus& status) {
    json message = {{"message", {{"content", status.text}, {"contentType", "text"}}}};
    if (!status.expiry.empty()) {
        message["expiryDateTime"] = {{"dateTime", status.expiry}, {"timeZone", "UTC"}};
    }
    return json{{"statusMessage", message}}.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::optional<DeviceCode> ReadDeviceCode(const WebReply& reply) {
    const json answer = Parsed(reply);
    if (!reply.answered || reply.httpStatus != 200 || !answer.is_object()) {
        return std::nullopt;
    }
    DeviceCode code;
    code.userCode = TextAt(answer, "user_code");
    code.deviceCode = TextAt(answer, "device_code");
    code.verificationUri = TextAt(answer, "verification_uri");
    code.interval = std::max(SecondsAt(answer, "interval", code.interval), std::chrono::seconds(1));
    code.expiresIn = SecondsAt(answer, "expires_in", code.expiresIn);
    if (code.userCode.empty() || code.deviceCode.empty() || code.verificationUri.empty()) {
        return std::nullopt;
    }
    return code;
}

TokenAnswer ReadTokenAnswer(const WebReply& reply) {
    TokenAnswer result;
    result.answered = reply.answered;
    const json answer = Parsed(reply);
    if (!reply.answered || !answer.is_object()) {
        return result;
    }
    if (reply.httpStatus == 200 && !TextAt(answer, "access_token").empty()) {
        result.tokens = Tokens{TextAt(answer, "access_token"), TextAt(answer, "refresh_token"),
                               SecondsAt(answer, "expires_in", std::chrono::seconds(3600))};
        return result;
    }
    result.error = TextAt(answer, "error");
    return result;
}

GraphResult ReadGraphReply(const WebReply& reply) {
    GraphResult result;
    if (!reply.answered) {
        result.outcome = GraphOutcome::NoAnswer;
        return result;
    }
    if (reply.httpStatus == 429 || reply.httpStatus == 503) {
        result.outcome = GraphOutcome::Quiet;
        result.retryAfter = RetryAfter(reply.retryAfter);
        return result;
    }
    if (reply.httpStatus == 401 || reply.httpStatus == 403) {
        result.outcome = GraphOutcome::Refused;
        return result;
    }
    if (reply.httpStatus < 200 || reply.httpStatus > 299) {
        return result;
    }
    result.outcome = GraphOutcome::Ok;
    const json answer = Parsed(reply);
    if (!answer.is_object()) {
        return result;
    }
    result.displayName = TextAt(answer, "displayName");
    if (answer.contains("availability") || answer.contains("statusMessage")) {
        TeamsStatus shown;
        const auto message = answer.find("statusMessage");
        if (message != answer.end() && message->is_object()) {
            const auto body = message->find("message");
            if (body != message->end() && body->is_object()) {
                shown.text = TextAt(*body, "content");
            }
            shown.expiry = ExpiryOf(*message);
        }
        result.shown = shown;
    }
    return result;
}

}  // namespace zonbode::messengers
