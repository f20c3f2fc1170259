#include <string>

#include "messengers/RecordText.h"
#include "messengers/slack/SlackStatus.h"

namespace zonbode::messengers {
namespace {

std::int64_t UnixSeconds(std::chrono::system_clock::time_point at) {
    return std::chrono::duration_cast<std::chrono::seconds>(at.time_since_epoch()).count();
}

}  // namespace

SlackStatusDelivery::SlackStatusDelivery(SlackWeb& web, Now now,
                                         std::function<void(const std::string&)> needsAttention,
                                         std::chrono::milliseconds bound)
    : web_(web), now_(std::move(now)), needsAttention_(std::move(needsAttention)), bound_(bound) {}

void SlackStatusDelivery::Deliver(const std::string& token, std::uint32_t dwData,
                                  std::span<const std::uint8_t> record, const DayFields* day) {
    const std::optional<RecordAsk> ask = RecordText(dwData, record);
    if (!ask || !MayCall(token)) {
        return;
    }
    token_ = token;
    deadline_ = std::chrono::steady_clock::now() + bound_;
    if (ask->switchOff) {
        SwitchOff();
    } else {
        SetStatus(ask->text, day);
    }
}

void SlackStatusDelivery::Forgive(const std::string& token) {
    if (refusedToken_ == token) {
        refusedToken_.reset();
    }
}

bool SlackStatusDelivery::MayCall(const std::string& token) const {
    return !token.empty() && token != refusedToken_ && now_() >= quietUntil_;
}

SlackResult SlackStatusDelivery::Call(std::string_view method, const std::string& body) {
    using namespace std::chrono;
    const auto left = duration_cast<milliseconds>(deadline_ - steady_clock::now());
    if (left <= milliseconds(0) || !MayCall(token_)) {
        SlackResult none;
        none.outcome = SlackOutcome::NoAnswer;
        return none;
    }
    SlackResult result = ReadSlackReply(web_.Call(method, token_, body, left));
    if (result.outcome == SlackOutcome::RateLimited) {
        quietUntil_ = now_() + result.retryAfter;
    } else if (result.outcome == SlackOutcome::TokenRefused) {
        refusedToken_ = token_;
        if (needsAttention_) {
            needsAttention_(std::string(kSlackNeedsAttention));
        }
    }
    return result;
}

// The status shown is the one set last, or that one gone by its own expiration.
bool SlackStatusDelivery::IsOurs(const SlackStatus& shown) const {
    if (!lastSet_) {
        return false;
    }
    if (shown.text == lastSet_->text && shown.emoji == lastSet_->emoji) {
        return true;
    }
    return shown.text.empty() && shown.emoji.empty() && lastSet_->expiration <= UnixSeconds(now_());
}

void SlackStatusDelivery::SetStatus(const std::string& text, const DayFields* day) {
    const SlackResult shown = Call("users.profile.get", {});
    if (shown.outcome != SlackOutcome::Ok || !shown.profileStatus) {
        return;  // without the status shown now there would be nothing sound to bring back
    }
    if (!IsOurs(*shown.profileStatus)) {
        earlier_ = shown.profileStatus;
    }
    const SlackStatus next{SlackStatusText(text), day ? SlackStatusEmoji(*day) : std::string(),
                           UnixSeconds(now_() + kSlackStatusLifetime)};
    // An answer that comes too late may still have been carried out: it counts as set.
    lastSet_ = next;
    Call("users.profile.set", SlackProfileSetBody(next));
}

void SlackStatusDelivery::SwitchOff() {
    if (!lastSet_ || !earlier_) {
        return;  // nothing was changed in this run
    }
    const SlackResult shown = Call("users.profile.get", {});
    if (shown.outcome != SlackOutcome::Ok || !shown.profileStatus) {
        return;
    }
    if (IsOurs(*shown.profileStatus)) {
        SlackStatus back = *earlier_;
        // A status that has run out meanwhile is not put back.
        if (back.expiration != 0 && back.expiration <= UnixSeconds(now_())) {
            back = SlackStatus{};
        }
        Call("users.profile.set", SlackProfileSetBody(back));
    }
    earlier_.reset();
    lastSet_.reset();
}

}  // namespace zonbode::messengers
