#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "messengers/MessengerTransport.h"
#include "messengers/RecordHandOver.h"
#include "messengers/RestorePoints.h"
#include "messengers/WorkThread.h"
#include "messengers/teams/TeamsStatus.h"
#include "secrets/SecretStore.h"

namespace zonbode::messengers {

// The app registration Zonbode signs in with: its application (client) ID and the tenant
// ("organizations": any work or school account).
struct TeamsApp {
    std::string client;
    std::string tenant = "organizations";
};

// A tenant as it may go into the sign-in address: a name, a domain or an ID.
bool IsTeamsTenant(std::string_view tenant);

// Teams as one more messenger beside the others, and what the "Teams..." dialog does with it.
// Like the Slack link, every call to Microsoft and to the secret store runs on a thread of the
// link's own. The refresh token lives only in the secret store (read at the start, replaced
// when Microsoft renews it); the access token only in memory, renewed before it runs out. A
// refused refresh is said once and leaves Teams alone until the user signs in again.
class TeamsLink final : public MessengerTransport {
public:
    using ToWindow = std::function<void(std::function<void()>)>;
    using Now = std::function<std::chrono::system_clock::time_point()>;

    TeamsLink(secrets::SecretStore& secrets, TeamsWeb& web, RestorePoints& points, TeamsApp app,
              ToWindow toWindow, std::function<void(const std::string&)> needsAttention,
              Now now = std::chrono::system_clock::now,
              std::chrono::milliseconds bound = std::chrono::seconds(5));

    void SetDeadline(std::chrono::steady_clock::time_point deadline) override;
    // "teams" unless the store is known to hold no sign-in.
    std::vector<std::string> Receivers() override;
    void Send(const std::string& receiver, std::uint32_t dwData,
              std::span<const std::uint8_t> record) override;
    void SendWithDay(const std::string& receiver, std::uint32_t dwData,
                     std::span<const std::uint8_t> record, const DayRecord* day) override;

    bool SignedIn() const { return state_ == State::SignedIn; }
    std::string Greeting() const;

    // What the dialog shows while signing in and after: the code and where to enter it while
    // the sign-in waits for the user, then the end (`done`; `signedIn` when it worked).
    struct News {
        std::string text;
        std::string userCode;
        std::string verificationUri;
        bool done = false;
        bool signedIn = false;
    };
    // The device code sign-in for `app`: each step is handed to `news` on the window's thread.
    void SignIn(TeamsApp app, std::function<void(News)> news);
    // Ends a sign-in that waits for the user; it says so through its news.
    void CancelSignIn();
    // Brings back the user's status message, then forgets the sign-in here and in the store.
    void SignOut(std::function<void(News)> news);

private:
    enum class State { Unknown, None, SignedIn };

    std::string AccessToken(std::chrono::steady_clock::time_point deadline);
    News SignInNow(const TeamsApp& app, const std::function<void(News)>& news);
    std::optional<Tokens> PollForTokens(const TeamsApp& app, const DeviceCode& code,
                                        std::string_view& refusal);
    News SignOutNow();
    void RestoreBeforeLeaving();
    bool WaitOrCancel(std::chrono::seconds wait);
    void Tell(std::function<void(News)> news, News said);

    secrets::SecretStore& secrets_;
    TeamsWeb& web_;
    ToWindow toWindow_;
    std::function<void(const std::string&)> needsAttention_;
    std::chrono::milliseconds bound_;
    std::atomic<State> state_{State::Unknown};

    std::mutex mutex_;  // guards the two below
    std::condition_variable cancelled_;
    bool cancel_ = false;

    // The link's thread's own.
    TeamsApp app_;
    std::string refresh_;
    std::string access_;
    std::chrono::steady_clock::time_point accessUntil_{};
    bool refreshRefused_ = false;
    TeamsStatusDelivery delivery_;

    RecordHandOver handOver_;
    WorkThread thread_;  // last: it ends, with its tasks, before what they use
};

}  // namespace zonbode::messengers
