#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "messengers/MessengerTransport.h"

// Slack as a messenger: a day's record becomes the user's Slack status (text, emoji and an
// expiration), and the switch-off record brings back the status the user had before.
namespace zonbode::messengers {

// What Slack shows beside the user's name.
struct SlackStatus {
    std::string text;
    std::string emoji;            // ":sunny:", or "" for none
    std::int64_t expiration = 0;  // Unix seconds; 0 for never
    bool operator==(const SlackStatus&) const = default;
};

// Slack keeps at most this many characters of a status text.
inline constexpr std::size_t kSlackStatusLength = 100;
// A status Zonbode set clears itself this long after the last record, so a program that dies
// leaves no weather behind for long.
inline constexpr std::chrono::hours kSlackStatusLifetime{2};

// The text whole when it has at most 100 characters; otherwise its first 99 and "…".
std::string SlackStatusText(std::string_view text);

// The emoji for a day: rain when precipitation is likely, else by the chance of sunshine.
std::string SlackStatusEmoji(const DayFields& day);

// The JSON body of users.profile.set for a status.
std::string SlackProfileSetBody(const SlackStatus& status);

// One answer of the Web API, as the seam below hands it over.
struct SlackReply {
    bool answered = false;  // false: no connection, no answer in time
    long httpStatus = 0;
    std::string retryAfter;  // the Retry-After header, "" when there is none
    std::string body;
    bool untrusted = false;  // no answer because Slack's certificate was not trusted
};

// Calls of Slack's Web API, "{slack}/METHOD" with "Authorization: Bearer TOKEN": GET when
// `jsonBody` is empty, else POST of that JSON. Waits at most `timeout`; never throws.
class SlackWeb {
public:
    virtual ~SlackWeb() = default;
    virtual SlackReply Call(std::string_view method, const std::string& token,
                            const std::string& jsonBody, std::chrono::milliseconds timeout) = 0;
};

// How a call went.
enum class SlackOutcome {
    Ok,
    NoAnswer,      // the network: quiet, the next record tries again
    Untrusted,     // the connection could not be trusted: as quiet as NoAnswer
    RateLimited,   // HTTP 429: quiet until Retry-After has passed
    TokenRefused,  // the token is no good (invalid, revoked, not allowed)
    Failed,        // any other error, or an answer that is not Slack's JSON
};

struct SlackResult {
    SlackOutcome outcome = SlackOutcome::Failed;
    std::string error;  // Slack's "error" when it gave one
    std::chrono::seconds retryAfter{0};
    std::optional<SlackStatus> profileStatus;  // users.profile.get: the status shown
    std::string user;                          // auth.test
    std::string team;
};

SlackResult ReadSlackReply(const SlackReply& reply);

// The words the user reads about a call that did not go well, in Dutch.
std::string SlackProblemText(const SlackResult& result);
// Said once in the status panel when Slack refuses the token.
inline constexpr std::string_view kSlackNeedsAttention =
    "De koppeling met Slack vraagt aandacht: kies \"Slack...\" en test het token opnieuw.";

// Hands the records of one program run to Slack. Every call of one record together waits at
// most the bound. After a 429 nothing is called until its Retry-After has passed (records in
// between are dropped); after a refused token nothing is called until the token changes.
// The status shown before Zonbode's first change is read and kept; switching off brings it
// back, unless the user has set another status since the last record. Whenever a record finds
// such a status of the user's, that one becomes the status to bring back.
class SlackStatusDelivery {
public:
    using Now = std::function<std::chrono::system_clock::time_point()>;

    SlackStatusDelivery(SlackWeb& web, Now now,
                        std::function<void(const std::string&)> needsAttention,
                        std::chrono::milliseconds bound = std::chrono::seconds(5));

    void Deliver(const std::string& token, std::uint32_t dwData,
                 std::span<const std::uint8_t> record, const DayFields* day);

    // The token was accepted again: records may call with it even if it was refused before.
    void Forgive(const std::string& token);

private:
    bool MayCall(const std::string& token) const;
    SlackResult Call(std::string_view method, const std::string& body);
    bool IsOurs(const SlackStatus& shown) const;
    void SetStatus(const std::string& text, const DayFields* day);
    void SwitchOff();

    SlackWeb& web_;
    Now now_;
    std::function<void(const std::string&)> needsAttention_;
    std::chrono::milliseconds bound_;

    // For the record being delivered.
    std::string token_;
    std::chrono::steady_clock::time_point deadline_;

    std::optional<std::string> refusedToken_;
    std::chrono::system_clock::time_point quietUntil_{};
    std::optional<SlackStatus> earlier_;
    std::optional<SlackStatus> lastSet_;
};

}  // namespace zonbode::messengers
