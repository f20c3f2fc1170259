#include "messengers/teams/TeamsLink.h"

#include <string_view>

#include "messengers/teams/TeamsHttp.h"
#include "messengers/teams/TeamsTexts.h"

namespace zonbode::messengers {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kReceiver = "teams";
constexpr std::string_view kDeviceCodeGrant = "urn:ietf:params:oauth:grant-type:device_code";
// An access token is renewed this long before it runs out.
constexpr std::chrono::minutes kRenewAhead{5};

std::chrono::milliseconds Left(Clock::time_point deadline) {
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
}

}  // namespace

bool IsTeamsTenant(std::string_view tenant) {
    if (tenant.empty() || tenant.size() > 253) {
        return false;
    }
    for (const char c : tenant) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-';
        if (!plain) {
            return false;
        }
    }
    return true;
}

TeamsLink::TeamsLink(secrets::SecretStore& secrets, TeamsWeb& web, RestorePoints& points,
                     TeamsApp app, ToWindow toWindow,
                     std::function<void(const std::string&)> needsAttention, Now now,
                     std::chrono::milliseconds bound)
    : secrets_(secrets),
      web_(web),
      toWindow_(std::move(toWindow)),
      needsAttention_(std::move(needsAttention)),
      bound_(bound),
      app_(std::move(app)),
      delivery_(web, points, std::move(now)),
      handOver_(
          thread_,
          [this](const RecordHandOver::Record& record, RecordHandOver::Deadline deadline) {
              delivery_.Deliver(AccessToken(deadline), record.dwData, record.bytes,
                                record.day ? &*record.day : nullptr, deadline);
          },
          bound) {
    thread_.Post([this] {
        refresh_ = app_.client.empty() ? std::string() : secrets_.ReadSecret().value_or("");
        state_ = refresh_.empty() ? State::None : State::SignedIn;
        if (!refresh_.empty() && delivery_.OwesRestore()) {
            const auto deadline = Clock::now() + bound_;
            delivery_.Restore(AccessToken(deadline), deadline);
        }
    });
}

void TeamsLink::SetDeadline(std::chrono::steady_clock::time_point deadline) {
    handOver_.SetDeadline(deadline);
}

std::vector<std::string> TeamsLink::Receivers() {
    if (state_ == State::None) {
        return {};
    }
    return {std::string(kReceiver)};
}

void TeamsLink::Send(const std::string& receiver, std::uint32_t dwData,
                     std::span<const std::uint8_t> record) {
    SendWithDay(receiver, dwData, record, nullptr);
}

void TeamsLink::SendWithDay(const std::string& receiver, std::uint32_t dwData,
                            std::span<const std::uint8_t> record, const DayRecord* day) {
    if (receiver != kReceiver) {
        return;
    }
    if (!day) {
        CancelSignIn();  // the switch-off: a sign-in that waits for the user ends
    }
    handOver_.HandOver(dwData, record, day);
}

std::string TeamsLink::AccessToken(Clock::time_point deadline) {
    if (!access_.empty() && Clock::now() + kRenewAhead < accessUntil_) {
        return access_;
    }
    access_.clear();
    if (refresh_.empty() || refreshRefused_ || Left(deadline).count() == 0) {
        return {};
    }
    const TokenAnswer answer = ReadTokenAnswer(web_.Login(app_.tenant, "token",
                                                          FormBody({{"client_id", app_.client},
                                                                    {"grant_type", "refresh_token"},
                                                                    {"refresh_token", refresh_},
                                                                    {"scope", kTeamsScope}}),
                                                          Left(deadline)));
    if (answer.tokens) {
        access_ = answer.tokens->access;
        accessUntil_ = Clock::now() + answer.tokens->expiresIn;
        // Microsoft may hand out a new refresh token with each renewal: the newest is kept.
        if (!answer.tokens->refresh.empty() && answer.tokens->refresh != refresh_) {
            refresh_ = answer.tokens->refresh;
            secrets_.WriteSecret(refresh_);
        }
        return access_;
    }
    if (answer.answered && !answer.error.empty()) {
        // invalid_grant (revoked, expired, the password changed), or the app itself refused.
        refreshRefused_ = true;
        if (needsAttention_) {
            toWindow_([tell = needsAttention_] { tell(std::string(kTeamsSignInAgain)); });
        }
    }
    return {};
}

std::string TeamsLink::Greeting() const {
    return std::string(SignedIn() ? kTeamsSignedIn : kTeamsNotSignedIn);
}

void TeamsLink::SignIn(TeamsApp app, std::function<void(News)> news) {
    {
        std::lock_guard lock(mutex_);
        cancel_ = false;
    }
    thread_.Post(
        [this, app = std::move(app), news = std::move(news)] { Tell(news, SignInNow(app, news)); });
}

void TeamsLink::CancelSignIn() {
    {
        std::lock_guard lock(mutex_);
        cancel_ = true;
    }
    cancelled_.notify_all();
}

void TeamsLink::SignOut(std::function<void(News)> news) {
    thread_.Post([this, news = std::move(news)] { Tell(news, SignOutNow()); });
}

void TeamsLink::Tell(std::function<void(News)> news, News said) {
    if (news) {
        toWindow_([news = std::move(news), said = std::move(said)] { news(said); });
    }
}

bool TeamsLink::WaitOrCancel(std::chrono::seconds wait) {
    std::unique_lock lock(mutex_);
    return cancelled_.wait_for(lock, wait, [this] { return cancel_; });
}

// Asks at the code's interval until the user has signed in, refused, or let the code expire,
// or the sign-in is cancelled; `refusal` says why when there are no tokens.
std::optional<Tokens> TeamsLink::PollForTokens(const TeamsApp& app, const DeviceCode& code,
                                               std::string_view& refusal) {
    std::chrono::seconds interval = code.interval;
    const auto expires = Clock::now() + code.expiresIn;
    for (;;) {
        if (WaitOrCancel(interval)) {
            refusal = kTeamsCancelled;
            return std::nullopt;
        }
        if (Clock::now() > expires) {
            refusal = kTeamsExpired;
            return std::nullopt;
        }
        const TokenAnswer answer =
            ReadTokenAnswer(web_.Login(app.tenant, "token",
                                       FormBody({{"grant_type", kDeviceCodeGrant},
                                                 {"client_id", app.client},
                                                 {"device_code", code.deviceCode}}),
                                       bound_));
        if (answer.tokens) {
            return answer.tokens;
        }
        if (!answer.answered || answer.error == "authorization_pending") {
            continue;  // a lost answer is asked again, until the code expires
        }
        if (answer.error == "slow_down") {
            interval += std::chrono::seconds(5);
            continue;
        }
        refusal = answer.error == "expired_token" ? kTeamsExpired
                  : answer.error == "authorization_declined" || answer.error == "access_denied"
                      ? kTeamsDeclined
                      : kTeamsRefusedApp;
        return std::nullopt;
    }
}

TeamsLink::News TeamsLink::SignInNow(const TeamsApp& app, const std::function<void(News)>& news) {
    const auto done = [](std::string_view text) { return News{std::string(text), {}, {}, true}; };
    if (app.client.empty() || app.client.find_first_of(" \t\r\n") != std::string::npos) {
        return done(kTeamsNoClient);
    }
    if (!IsTeamsTenant(app.tenant)) {
        return done(kTeamsBadTenant);
    }
    const WebReply asked =
        web_.Login(app.tenant, "devicecode",
                   FormBody({{"client_id", app.client}, {"scope", kTeamsScope}}), bound_);
    const std::optional<DeviceCode> code = ReadDeviceCode(asked);
    if (!code) {
        return done(asked.answered ? kTeamsRefusedApp : kTeamsUnreachable);
    }
    Tell(news, {std::string(kTeamsGoTo) + code->verificationUri + std::string(kTeamsEnterCode) +
                    code->userCode,
                code->userCode, code->verificationUri, false});
    std::string_view refusal;
    const std::optional<Tokens> tokens = PollForTokens(app, *code, refusal);
    if (!tokens) {
        return done(refusal);
    }
    // The weather set for the account signed in so far goes before that account does.
    RestoreBeforeLeaving();
    app_ = app;
    access_ = tokens->access;
    accessUntil_ = Clock::now() + tokens->expiresIn;
    refresh_ = tokens->refresh;
    refreshRefused_ = false;
    state_ = State::SignedIn;
    const GraphResult me = ReadGraphReply(web_.Graph("me", access_, {}, bound_));
    News signedIn = done(std::string(kTeamsSignedInAs) + me.displayName);
    signedIn.signedIn = true;
    if (refresh_.empty() || !secrets_.WriteSecret(refresh_)) {
        signedIn.text += std::string(kTeamsNotStored);
    }
    return signedIn;
}

TeamsLink::News TeamsLink::SignOutNow() {
    RestoreBeforeLeaving();
    refresh_.clear();
    access_.clear();
    state_ = State::None;
    News news{std::string(kTeamsSignedOut), {}, {}, true};
    if (!secrets_.ForgetSecret()) {
        news.text = std::string(kTeamsNotForgotten);
    }
    return news;
}

void TeamsLink::RestoreBeforeLeaving() {
    if (delivery_.OwesRestore()) {
        const auto deadline = Clock::now() + bound_;
        const std::string access = AccessToken(deadline);
        if (!access.empty()) {
            delivery_.Restore(access, deadline);
        }
    }
    delivery_.ForgetRestore();
}

}  // namespace zonbode::messengers
