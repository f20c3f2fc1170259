#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "messengers/MessengerTransport.h"
#include "messengers/RecordHandOver.h"
#include "messengers/RestorePoints.h"
#include "messengers/WorkThread.h"
#include "messengers/slack/SlackStatus.h"
#include "secrets/SecretStore.h"

namespace zonbode::messengers {

// Slack as one more messenger beside the others, and what the "Slack..." dialog does with it.
// Every Slack call and every secret-store call runs on a thread of the link's own, so the
// window never waits on Slack or on a keyring prompt: a day record is handed over and the
// sender goes on (a newer day replaces one not yet sent); the switch-off waits for its restore
// until the record's deadline. The token is read from the secret store at the start and
// changes only through the dialog; it never goes anywhere but into the store and the
// Authorization header.
class SlackLink final : public MessengerTransport {
public:
    // Hands a task to the user-interface thread; the answers of Test and Disconnect and the
    // status panel's sentences come back through it.
    using ToWindow = std::function<void(std::function<void()>)>;

    // `needsAttention` gets a Dutch sentence for the status panel when Slack refuses the
    // token or a write (once each). A restore an earlier run still owes is made at the start.
    SlackLink(secrets::SecretStore& secrets, SlackWeb& web, RestorePoints& points,
              ToWindow toWindow, std::function<void(const std::string&)> needsAttention,
              SlackStatusDelivery::Now now = std::chrono::system_clock::now,
              std::chrono::milliseconds bound = std::chrono::seconds(5));

    void SetDeadline(std::chrono::steady_clock::time_point deadline) override;
    // "slack" unless the store is known to hold no token.
    std::vector<std::string> Receivers() override;
    void Send(const std::string& receiver, std::uint32_t dwData,
              std::span<const std::uint8_t> record) override;
    void SendWithDay(const std::string& receiver, std::uint32_t dwData,
                     std::span<const std::uint8_t> record, const DayRecord* day) override;

    bool HasToken() const { return tokenKnown_ == TokenState::Stored; }
    // What the dialog says when it opens.
    std::string Greeting() const;

    // What the dialog shows after Test or Disconnect; `accepted`: the token was taken (the box
    // may be emptied), else what the user typed stays.
    struct Answer {
        std::string text;
        bool accepted = false;
    };
    // The dialog's "Test": checks the token (the box's text, or the one in use when the box is
    // empty) and asks Slack whose it is; a user token with both profile scopes is stored and
    // used from now on, after the status set with the token before it has been brought back.
    void Test(const std::string& typedToken, std::function<void(Answer)> answer);
    // The dialog's "Loskoppelen": brings back the user's status, then forgets the token here
    // and in the store.
    void Disconnect(std::function<void(Answer)> answer);

private:
    enum class TokenState { Unknown, None, Stored };

    Answer TestNow(const std::string& typedToken);
    Answer DisconnectNow();
    void RestoreBeforeLeaving();
    void Reply(std::function<void(Answer)> answer, Answer said);

    secrets::SecretStore& secrets_;
    SlackWeb& web_;
    ToWindow toWindow_;
    std::chrono::milliseconds bound_;
    std::atomic<TokenState> tokenKnown_{TokenState::Unknown};

    // The link's thread's own.
    std::string token_;
    SlackStatusDelivery delivery_;

    RecordHandOver handOver_;
    WorkThread thread_;  // last: it ends, with its tasks, before what they use
};

}  // namespace zonbode::messengers
