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

// Microsoft Teams as a messenger, through Microsoft Graph: a day's record becomes the signed-in
// user's Teams status message (it expires by itself), and the switch-off brings back the
// message the user had before, or clears it. Presence itself (Available, Busy...) is never
// touched.
namespace zonbode::messengers {

// Teams shows a status message of at most 280 characters.
inline constexpr std::size_t kTeamsStatusLength = 280;
// A message Zonbode set expires this long after it was set, so a Zonbode that stops leaves no
// old weather behind for long.
inline constexpr std::chrono::hours kTeamsStatusLifetime{2};
inline constexpr std::chrono::minutes kTeamsAutomaticSpacing{5};
inline constexpr std::size_t kTeamsWritesPerMinute = 10;
// The delegated permission Zonbode asks for, and a refresh token to stay signed in.
inline constexpr std::string_view kTeamsScope = "Presence.ReadWrite offline_access";

// A status message: its text and when it expires ("" for never), in UTC as Graph writes a
// dateTime without zone ("2026-12-09T15:04:05").
struct TeamsStatus {
    std::string text;
    std::string expiry;
    bool operator==(const TeamsStatus&) const = default;
};

std::string TeamsStatusText(std::string_view text);
std::string UtcDateTime(std::chrono::system_clock::time_point at);
// The body of POST /me/presence/setStatusMessage.
std::string TeamsStatusBody(const TeamsStatus& status);

// One answer of the identity platform or of Graph, as the seam below hands it over.
struct WebReply {
    bool answered = false;  // false: no connection, no answer in time
    long httpStatus = 0;
    std::string retryAfter{};
    std::string body{};
    bool untrusted = false;
};

// The identity platform ("{login}/{tenant}/oauth2/v2.0/{endpoint}", a form POST) and Graph
// ("{graph}/v1.0/{path}" with the access token; GET when `jsonBody` is empty, else POST).
// Each waits at most `timeout` and never throws.
class TeamsWeb {
public:
    virtual ~TeamsWeb() = default;
    virtual WebReply Login(std::string_view tenant, std::string_view endpoint,
                           const std::string& form, std::chrono::milliseconds timeout) = 0;
    virtual WebReply Graph(std::string_view path, const std::string& accessToken,
                           const std::string& jsonBody, std::chrono::milliseconds timeout) = 0;
};

// What the identity platform answered to the device code request or a token request.
struct DeviceCode {
    std::string userCode;
    std::string deviceCode;
    std::string verificationUri;
    std::chrono::seconds interval{5};
    std::chrono::seconds expiresIn{900};
};
std::optional<DeviceCode> ReadDeviceCode(const WebReply& reply);

struct Tokens {
    std::string access;
    std::string refresh;  // "" when the answer gave none (keep the old one)
    std::chrono::seconds expiresIn{0};
};
struct TokenAnswer {
    std::optional<Tokens> tokens;  // granted
    std::string error;             // the platform's "error" ("authorization_pending"...), or
                                   // "" with no tokens: no answer, or not the platform's JSON
    bool answered = false;
};
TokenAnswer ReadTokenAnswer(const WebReply& reply);

// How a Graph call went.
enum class GraphOutcome { Ok, NoAnswer, Quiet, Refused, Failed };
struct GraphResult {
    GraphOutcome outcome = GraphOutcome::Failed;
    std::chrono::seconds retryAfter{0};  // Quiet: 429 or 503
    std::optional<TeamsStatus> shown;    // GET /me/presence: the status message shown
    std::string displayName;             // GET /me
};
GraphResult ReadGraphReply(const WebReply& reply);

// Hands the records of one program run to Teams, on one thread, with the rules Slack follows:
// the message shown before Zonbode's first change is kept in `points` the moment it is read,
// with what Zonbode sets; the switch-off brings it back unless the user has set another since,
// or clears the message when there was none; a restore that could not be made is made at the
// next start. The automatic cycle writes at most once in five minutes, a message already shown
// is not written again, a day chosen by hand goes at once; after a 429 or 503 nothing but the
// restore is called until its Retry-After has passed.
class TeamsStatusDelivery {
public:
    using Now = std::function<std::chrono::system_clock::time_point()>;
    using Deadline = std::chrono::steady_clock::time_point;

    TeamsStatusDelivery(TeamsWeb& web, RestorePoints& points, Now now);

    void Deliver(const std::string& accessToken, std::uint32_t dwData,
                 std::span<const std::uint8_t> record, const DayRecord* day, Deadline deadline);
    void Restore(const std::string& accessToken, Deadline deadline);
    bool OwesRestore() const { return kept_.earlier.has_value(); }
    void ForgetRestore();

private:
    GraphResult Call(std::string_view path, const std::string& body, bool restoring);
    bool IsOurs(const TeamsStatus& shown) const;
    void SetStatus(const std::string& text, const DayRecord* day);
    void SwitchOff();
    void Keep();

    TeamsWeb& web_;
    RestorePoints& points_;
    Now now_;
    std::string access_;
    Deadline deadline_;
    std::chrono::system_clock::time_point quietUntil_{};
    RestorePair<TeamsStatus> kept_;
    WriteSpacing spacing_{kTeamsAutomaticSpacing, kTeamsWritesPerMinute};
};

}  // namespace zonbode::messengers
