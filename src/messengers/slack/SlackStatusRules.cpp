#include <charconv>
#include <set>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "messengers/StatusCut.h"
#include "messengers/WebAnswers.h"
#include "messengers/slack/SlackStatus.h"

namespace zonbode::messengers {
namespace {

using nlohmann::json;

// The whole-number part of a value as the page writes it ("40", "0,5", "12.3"); 0 when it
// does not start with a digit.
int LeadingNumber(std::string_view text) {
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Every error users.profile.set documents (and auth.test's not_authed): whether the token
// itself is refused (calling again with it cannot help), and what the user reads.
struct SlackError {
    std::string_view code;
    bool refusesToken;
    std::string_view text;
};

constexpr SlackError kSlackErrors[] = {
    {"invalid_auth", true,
     "Slack kent dit token niet. Kopieer het User OAuth Token (xoxp-...) opnieuw."},
    {"not_authed", true, "Slack kreeg geen token. Plak het User OAuth Token (xoxp-...) opnieuw."},
    {"token_revoked", true, "Dit token is ingetrokken. Maak in Slack een nieuw token."},
    {"token_expired", true, "Dit token is verlopen. Maak in Slack een nieuw token."},
    {"account_inactive", true,
     "Het Slack-account van dit token is niet meer actief. Maak een token met je eigen, actieve "
     "account."},
    {"not_allowed_token_type", true,
     "Slack staat dit soort token niet toe: Zonbode heeft het User OAuth Token (xoxp-...) nodig, "
     "geen bot-token."},
    {"missing_scope", true,
     "Dit token mag de status niet lezen of zetten: geef de app de rechten users.profile:read "
     "en users.profile:write en installeer hem opnieuw."},
    {"no_permission", true,
     "Je Slack-werkruimte staat deze app niet toe je profiel te wijzigen. Vraag een beheerder "
     "om toestemming."},
    {"two_factor_setup_required", true,
     "Je Slack-werkruimte vraagt eerst tweestapsverificatie. Zet die aan in Slack en test het "
     "token opnieuw."},
    {"accesslimited", false,
     "Slack beperkt de toegang vanaf dit netwerk. Zonbode probeert het bij de volgende dag "
     "opnieuw."},
    {"too_long", false, "Slack vindt de statustekst te lang. Maak het sjabloon korter."},
    {"ratelimited", false,
     "Slack vraagt Zonbode even te wachten met de status. Zonbode probeert het later opnieuw."},
};

const SlackError* FindSlackError(std::string_view code) {
    for (const SlackError& error : kSlackErrors) {
        if (error.code == code) {
            return &error;
        }
    }
    return nullptr;
}

bool RefusesToken(const std::string& error) {
    const SlackError* known = FindSlackError(error);
    return known && known->refusesToken;
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
    return CutToCharacters(text, kSlackStatusLength);
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
    result.bot = !TextAt(answer, "bot_id").empty();
    result.scopes = reply.scopes;
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
        case SlackOutcome::Failed:
            break;
    }
    if (const SlackError* known = FindSlackError(result.error)) {
        return std::string(known->text);
    }
    if (!result.error.empty()) {
        return "Slack weigert: " + result.error + ".";
    }
    return "Slack gaf een antwoord dat Zonbode niet begrijpt.";
}

std::string MissingSlackScopes(std::string_view scopes) {
    std::string missing;
    for (const std::string_view needed : {"users.profile:read", "users.profile:write"}) {
        bool found = false;
        std::size_t from = 0;
        while (from <= scopes.size() && !found) {
            const std::size_t comma = std::min(scopes.find(',', from), scopes.size());
            std::string_view scope = scopes.substr(from, comma - from);
            while (!scope.empty() && scope.front() == ' ') {
                scope.remove_prefix(1);
            }
            while (!scope.empty() && scope.back() == ' ') {
                scope.remove_suffix(1);
            }
            found = scope == needed;
            from = comma + 1;
        }
        if (!found) {
            missing += missing.empty() ? "" : ", ";
            missing += needed;
        }
    }
    return missing;
}

}  // namespace zonbode::messengers
