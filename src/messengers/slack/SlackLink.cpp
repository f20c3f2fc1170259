#include "messengers/slack/SlackLink.h"

#include <string_view>

#include "messengers/slack/SlackTexts.h"

namespace zonbode::messengers {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kReceiver = "slack";

// Spaces and line ends a paste brings along around a token are not part of it.
std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A token is printable ASCII without blanks; anything else inside (a line break, a
// non-breaking space) came with a paste and would go onto the wire.
bool IsTokenText(std::string_view token) {
    for (const char c : token) {
        if (c <= ' ' || c >= 0x7F) {
            return false;
        }
    }
    return true;
}

}  // namespace

SlackLink::SlackLink(secrets::SecretStore& secrets, SlackWeb& web, RestorePoints& points,
                     ToWindow toWindow, std::function<void(const std::string&)> needsAttention,
                     SlackStatusDelivery::Now now, std::chrono::milliseconds bound)
    : secrets_(secrets),
      web_(web),
      toWindow_(std::move(toWindow)),
      bound_(bound),
      delivery_(web, points, std::move(now),
                [this, tell = std::move(needsAttention)](const std::string& text) {
                    if (tell) {
                        toWindow_([tell, text] { tell(text); });
                    }
                }),
      handOver_(
          thread_,
          [this](const RecordHandOver::Record& record, RecordHandOver::Deadline deadline) {
              delivery_.Deliver(token_, record.dwData, record.bytes,
                                record.day ? &*record.day : nullptr, deadline);
          },
          bound) {
    thread_.Post([this] {
        token_ = secrets_.ReadSecret().value_or("");
        tokenKnown_ = token_.empty() ? TokenState::None : TokenState::Stored;
        if (!token_.empty() && delivery_.OwesRestore()) {
            delivery_.Restore(token_, Clock::now() + bound_);
        }
    });
}

void SlackLink::SetDeadline(std::chrono::steady_clock::time_point deadline) {
    handOver_.SetDeadline(deadline);
}

std::vector<std::string> SlackLink::Receivers() {
    if (tokenKnown_ == TokenState::None) {
        return {};
    }
    return {std::string(kReceiver)};
}

void SlackLink::Send(const std::string& receiver, std::uint32_t dwData,
                     std::span<const std::uint8_t> record) {
    SendWithDay(receiver, dwData, record, nullptr);
}

void SlackLink::SendWithDay(const std::string& receiver, std::uint32_t dwData,
                            std::span<const std::uint8_t> record, const DayRecord* day) {
    if (receiver == kReceiver) {
        handOver_.HandOver(dwData, record, day);
    }
}

std::string SlackLink::Greeting() const {
    return std::string(HasToken() ? kSlackLinked : kSlackNotLinked);
}

void SlackLink::Test(const std::string& typedToken, std::function<void(Answer)> answer) {
    thread_.Post(
        [this, typedToken, answer = std::move(answer)] { Reply(answer, TestNow(typedToken)); });
}

void SlackLink::Disconnect(std::function<void(Answer)> answer) {
    thread_.Post([this, answer = std::move(answer)] { Reply(answer, DisconnectNow()); });
}

void SlackLink::Reply(std::function<void(Answer)> answer, Answer said) {
    if (answer) {
        toWindow_([answer = std::move(answer), said = std::move(said)] { answer(said); });
    }
}

SlackLink::Answer SlackLink::TestNow(const std::string& typedToken) {
    const std::string token = Trimmed(typedToken).empty() ? token_ : Trimmed(typedToken);
    if (token.empty()) {
        return {std::string(kSlackNoToken)};
    }
    if (!IsTokenText(token)) {
        return {std::string(kSlackTokenHasBlank)};
    }
    const SlackResult result = ReadSlackReply(web_.Call("auth.test", token, {}, bound_));
    if (result.outcome != SlackOutcome::Ok) {
        return {SlackProblemText(result)};
    }
    if (result.bot || token.starts_with("xoxb-")) {
        return {std::string(kSlackBotToken)};
    }
    // Slack names the token's scopes in a header; without it the first write will tell.
    if (const std::string missing = MissingSlackScopes(result.scopes);
        !result.scopes.empty() && !missing.empty()) {
        return {std::string(kSlackMissingScopes) + missing + std::string(kSlackReinstall)};
    }
    Answer answer{std::string(kSlackConnectedAs) + result.user + " in " + result.team, true};
    // A token Slack accepts again may be tried again, even one refused before (the app may
    // have been given the scopes it lacked).
    delivery_.Forgive(token);
    if (token != token_) {
        RestoreBeforeLeaving();
        token_ = token;
        tokenKnown_ = TokenState::Stored;
        if (!secrets_.WriteSecret(token)) {
            answer.text += std::string(kSlackNotStored);
        }
    }
    return answer;
}

SlackLink::Answer SlackLink::DisconnectNow() {
    RestoreBeforeLeaving();
    token_.clear();
    tokenKnown_ = TokenState::None;
    if (!secrets_.ForgetSecret()) {
        return {std::string(kSlackNotForgotten), true};
    }
    return {std::string(kSlackDisconnected), true};
}

// The weather set with the token in use goes before that token does: with another token (or
// none) its workspace could not be reached again.
void SlackLink::RestoreBeforeLeaving() {
    if (!token_.empty() && delivery_.OwesRestore()) {
        delivery_.Restore(token_, Clock::now() + bound_);
    }
    delivery_.ForgetRestore();
}

}  // namespace zonbode::messengers
