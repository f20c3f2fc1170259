#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>

#include "messengers/MessengerTransport.h"
#include "messengers/RestorePoints.h"
#include "messengers/WriteSpacing.h"

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
// The automatic cycle writes the status at most this often: each write is announced to every
// client of the workspace, and Slack asks apps to update profiles sparingly.
inline constexpr std::chrono::minutes kSlackAutomaticSpacing{5};
// Slack takes no more than this many profile writes of a token in a minute.
inline constexpr std::size_t kSlackWritesPerMinute = 10;

// The text whole when it has at most 100 characters; otherwise as many whole characters as
// leave room for "…" after them, a character being what the eye sees as one (a flag, a letter
// with its accents, an emoji with its modifiers are never split).
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
    std::string scopes{};    // the x-oauth-scopes header: the token's scopes, comma-separated
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
    TokenRefused,  // the token cannot work (invalid, revoked, a bot's, lacking a scope...)
    Failed,        // any other error, or an answer that is not Slack's JSON
};

struct SlackResult {
    SlackOutcome outcome = SlackOutcome::Failed;
    std::string error;  // Slack's "error" when it gave one
    std::chrono::seconds retryAfter{0};
    std::optional<SlackStatus> profileStatus;  // users.profile.get: the status shown
    std::string user;                          // auth.test
    std::string team;
    bool bot = false;    // auth.test: the token is a bot's (the answer names a bot_id)
    std::string scopes;  // as the reply's header gave them
};

SlackResult ReadSlackReply(const SlackReply& reply);

// The words the user reads about a call that did not go well, in Dutch: for each error
// users.profile.set documents a sentence that says what to do.
std::string SlackProblemText(const SlackResult& result);

// The scopes a token needs that `scopes` (as x-oauth-scopes gives them) lacks, comma-separated;
// "" when it has both.
std::string MissingSlackScopes(std::string_view scopes);

// Hands the records of one program run to Slack, on one thread. Every call of one record
// together ends by the record's deadline. After a 429 no record calls until its Retry-After has
// passed (records in between are dropped), though the switch-off still tries its restore;
// after a refused token nothing is called until the token changes. The status shown before
// Zonbode's first change is read and kept, in `points` at once, with what Zonbode sets;
// switching off brings it back, unless the user has set another status since, and a restore
// that could not be made stays kept for Restore at the next start. The automatic cycle writes
// at most once in five minutes, a status equal to the one shown is not written again, and a
// day chosen by hand goes at once, up to Slack's ten writes a minute. Each problem is told
// once: a refused token once for that token, any other until a write succeeds.
class SlackStatusDelivery {
public:
    using Now = std::function<std::chrono::system_clock::time_point()>;
    using Deadline = std::chrono::steady_clock::time_point;

    SlackStatusDelivery(SlackWeb& web, RestorePoints& points, Now now,
                        std::function<void(const std::string&)> tell);

    void Deliver(const std::string& token, std::uint32_t dwData,
                 std::span<const std::uint8_t> record, const DayRecord* day, Deadline deadline);

    // Brings back what an earlier run kept and could not restore (it was killed, or Slack did
    // not answer its switch-off). Nothing when nothing is kept.
    void Restore(const std::string& token, Deadline deadline);

    // Whether a restore is still owed, kept from this run or an earlier one.
    bool OwesRestore() const { return kept_.earlier.has_value(); }
    // No restore is owed any more (the token it needed is gone).
    void ForgetRestore();

    // The token was accepted again: records may call with it even if it was refused before.
    void Forgive(const std::string& token);

private:
    bool MayCall(bool restoring) const;
    SlackResult Call(std::string_view method, const std::string& body, bool restoring = false);
    bool IsOurs(const SlackStatus& shown) const;
    void SetStatus(const std::string& text, const DayRecord* day);
    void SwitchOff();
    void Keep();

    SlackWeb& web_;
    RestorePoints& points_;
    Now now_;
    std::function<void(const std::string&)> tell_;

    // For the record being delivered.
    std::string token_;
    Deadline deadline_;

    std::optional<std::string> refusedToken_;
    std::set<std::string> told_;  // problems said since the last write that went through
    std::chrono::system_clock::time_point quietUntil_{};
    RestorePair<SlackStatus> kept_;
    WriteSpacing spacing_{kSlackAutomaticSpacing, kSlackWritesPerMinute};
};

}  // namespace zonbode::messengers
