#include <charconv>
#include <set>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "messengers/slack/SlackStatus.h"

namespace zonbode::messengers {
namespace {

using nlohmann::json;

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // U+2026

// When a 429 names no usable wait.
constexpr std::chrono::seconds kDefaultRetryAfter{60};
constexpr std::chrono::seconds kLongestRetryAfter{24 * 3600};

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The whole-number part of a value as the page writes it ("40", "0,5", "12.3"); 0 when it
// does not start with a digit.
int LeadingNumber(std::string_view text) {
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// The error codes that mean the token itself is no good: calling again cannot help.
bool RefusesToken(const std::string& error) {
    static const std::set<std::string> kCodes = {"invalid_auth",     "token_revoked",
                                                 "not_authed",       "missing_scope",
                                                 "account_inactive", "token_expired"};
    return kCodes.contains(error);
}

std::chrono::seconds RetryAfter(std::string_view header) {
    long long seconds = -1;
    const auto [end, error] =
        std::from_chars(header.data(), header.data() + header.size(), seconds);
    if (error != std::errc() || end != header.data() + header.size() || seconds < 0) {
        return kDefaultRetryAfter;
    }
    return std::min(std::chrono::seconds(seconds), kLongestRetryAfter);
}

std::string TextAt(const json& object, const char* key) {
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::optional<SlackStatus> ProfileStatus(const json& answer) {
    const auto profile = answer.find("profile");
    if (profile == answer.end() || !profile->is_object()) {
        return std::nullopt;
    }
    SlackStatus status{TextAt(*profile, "status_text"), TextAt(*profile, "status_emoji"), 0};
    const auto expiration = profile->find("status_expiration");
    if (expiration != profile->end() && expiration->is_number_integer()) {
        status.expiration = expiration->get<std::int64_t>();
    }
    return status;
}

}  // namespace

std::string SlackStatusText(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsContinuationByte(text[i])) {
            continue;
        }
        if (++characters == kSlackStatusLength) {
            // Room for one more: the rest is whole only when this is the last character.
            std::size_t next = i + 1;
            while (next < text.size() && IsContinuationByte(text[next])) {
                ++next;
            }
            if (next == text.size()) {
                break;
            }
            return std::string(text.substr(0, i)) + std::string(kEllipsis);
        }
    }
    return std::string(text);
}

std::string SlackStatusEmoji(const DayFields& day) {
    const int sunshine = LeadingNumber(day[1]);
    const int precipitationChance = LeadingNumber(day[2]);
    if (precipitationChance >= 50) {
        return ":rain_cloud:";
    }
    if (sunshine >= 60) {
        return ":sunny:";
    }
    if (sunshine >= 30) {
        return ":partly_sunny:";
    }
    return ":cloud:";
}

std::string SlackProfileSetBody(const SlackStatus& status) {
    const json body = {{"profile",
                        {{"status_text", status.text},
                         {"status_emoji", status.emoji},
                         {"status_expiration", status.expiration}}}};
    // Text that is not valid UTF-8 goes out with U+FFFD rather than not at all.
    return body.dump(-1, ' ', false, json::error_handler_t::replace);
}

SlackResult ReadSlackReply(const SlackReply& reply) {
    SlackResult result;
    if (!reply.answered) {
        result.outcome = reply.untrusted ? SlackOutcome::Untrusted : SlackOutcome::NoAnswer;
        return result;
    }
    if (reply.httpStatus == 429) {
        result.outcome = SlackOutcome::RateLimited;
        result.retryAfter = RetryAfter(reply.retryAfter);
        return result;
    }
    const json answer = json::parse(reply.body, nullptr, false);
    const auto ok = answer.is_object() ? answer.find("ok") : answer.end();
    if (!answer.is_object() || ok == answer.end() || !ok->is_boolean()) {
        result.outcome = SlackOutcome::Failed;
        return result;
    }
    if (!ok->get<bool>()) {
        result.error = TextAt(answer, "error");
        result.outcome =
            RefusesToken(result.error) ? SlackOutcome::TokenRefused : SlackOutcome::Failed;
        return result;
    }
    result.outcome = reply.httpStatus == 200 ? SlackOutcome::Ok : SlackOutcome::Failed;
    result.profileStatus = ProfileStatus(answer);
    result.user = TextAt(answer, "user");
    result.team = TextAt(answer, "team");
    return result;
}

std::string SlackProblemText(const SlackResult& result) {
    switch (result.outcome) {
        case SlackOutcome::Ok:
            return {};
        case SlackOutcome::NoAnswer:
            return "Slack is niet bereikbaar. Controleer de verbinding en probeer het opnieuw.";
        case SlackOutcome::Untrusted:
            return "De verbinding met Slack is niet te vertrouwen: het certificaat wordt niet "
                   "aanvaard. Kijk of de klok goed staat.";
        case SlackOutcome::RateLimited:
            return "Slack vraagt even te wachten. Probeer het over " +
                   std::to_string(result.retryAfter.count()) + " seconden opnieuw.";
        case SlackOutcome::TokenRefused:
            if (result.error == "missing_scope") {
                return "Dit token mag de status niet lezen of zetten: geef de app de rechten "
                       "users.profile:read en users.profile:write.";
            }
            if (result.error == "token_revoked" || result.error == "token_expired") {
                return "Dit token is ingetrokken. Maak in Slack een nieuw token.";
            }
            return "Slack kent dit token niet. Kopieer het User OAuth Token (xoxp-...) opnieuw.";
        case SlackOutcome::Failed:
            break;
    }
    if (!result.error.empty()) {
        return "Slack weigert: " + result.error + ".";
    }
    return "Slack gaf een antwoord dat Zonbode niet begrijpt.";
}

}  // namespace zonbode::messengers
