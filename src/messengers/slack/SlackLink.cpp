#include "messengers/slack/SlackLink.h"

#include <string_view>

#include "messengers/slack/SlackTexts.h"

namespace zonbode::messengers {
namespace {

constexpr std::string_view kReceiver = "slack";

// Spaces and line ends a paste brings along are not part of a token.
std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

SlackLink::SlackLink(secrets::SecretStore& secrets, SlackWeb& web,
                     std::function<void(const std::string&)> needsAttention,
                     SlackStatusDelivery::Now now, std::chrono::milliseconds bound)
    : secrets_(secrets),
      web_(web),
      bound_(bound),
      token_(secrets.ReadSecret().value_or("")),
      delivery_(web, std::move(now), std::move(needsAttention), bound) {}

std::vector<std::string> SlackLink::Receivers() {
    if (!HasToken()) {
        return {};
    }
    return {std::string(kReceiver)};
}

void SlackLink::Send(const std::string& receiver, std::uint32_t dwData,
                     std::span<const std::uint8_t> record) {
    SendWithDay(receiver, dwData, record, nullptr);
}

void SlackLink::SendWithDay(const std::string& receiver, std::uint32_t dwData,
                            std::span<const std::uint8_t> record, const DayFields* day) {
    if (receiver == kReceiver) {
        delivery_.Deliver(token_, dwData, record, day);
    }
}

std::string SlackLink::Greeting() const {
    return std::string(HasToken() ? kSlackLinked : kSlackNotLinked);
}

std::string SlackLink::Test(const std::string& typedToken) {
    const std::string token = Trimmed(typedToken).empty() ? token_ : Trimmed(typedToken);
    if (token.empty()) {
        return std::string(kSlackNoToken);
    }
    const SlackResult result = ReadSlackReply(web_.Call("auth.test", token, {}, bound_));
    if (result.outcome != SlackOutcome::Ok) {
        return SlackProblemText(result);
    }
    std::string answer = std::string(kSlackConnectedAs) + result.user + " in " + result.team;
    // A token Slack accepts again may be tried again, even one refused before (the app may
    // have been given the scopes it lacked).
    delivery_.Forgive(token);
    if (token != token_) {
        token_ = token;
        if (!secrets_.WriteSecret(token)) {
            answer += std::string(kSlackNotStored);
        }
    }
    return answer;
}

std::string SlackLink::Disconnect() {
    token_.clear();
    if (!secrets_.ForgetSecret()) {
        return std::string(kSlackNotForgotten);
    }
    return std::string(kSlackDisconnected);
}

}  // namespace zonbode::messengers
