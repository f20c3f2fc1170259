#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "messengers/MessengerTransport.h"
#include "messengers/slack/SlackStatus.h"
#include "secrets/SecretStore.h"

namespace zonbode::messengers {

// Slack as one more messenger beside the others, and what the "Slack..." dialog does with it.
// The token is read from the secret store once, at construction, and changes only through
// the dialog; it never goes anywhere but into the store and the Authorization header.
class SlackLink final : public MessengerTransport {
public:
    // `needsAttention` gets a Dutch sentence for the status panel when Slack refuses the
    // token (once for each token).
    SlackLink(secrets::SecretStore& secrets, SlackWeb& web,
              std::function<void(const std::string&)> needsAttention,
              SlackStatusDelivery::Now now = std::chrono::system_clock::now,
              std::chrono::milliseconds bound = std::chrono::seconds(5));

    // "slack" while a token is known; none otherwise.
    std::vector<std::string> Receivers() override;
    void Send(const std::string& receiver, std::uint32_t dwData,
              std::span<const std::uint8_t> record) override;
    void SendWithDay(const std::string& receiver, std::uint32_t dwData,
                     std::span<const std::uint8_t> record, const DayFields* day) override;

    bool HasToken() const { return !token_.empty(); }
    // What the dialog says when it opens.
    std::string Greeting() const;

    // The dialog's "Test": asks Slack who the token (the box's text, or the one in use when the
    // box is empty) belongs to. A good token is stored and used from now on. The answer is the
    // Dutch sentence the dialog shows.
    std::string Test(const std::string& typedToken);
    // The dialog's "Loskoppelen": the token is forgotten here and in the store.
    std::string Disconnect();

private:
    secrets::SecretStore& secrets_;
    SlackWeb& web_;
    std::chrono::milliseconds bound_;
    std::string token_;
    SlackStatusDelivery delivery_;
};

}  // namespace zonbode::messengers
