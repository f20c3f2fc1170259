#include <algorithm>
#include <string>

#include <nlohmann/json.hpp>

#include "messengers/RecordText.h"
#include "messengers/RestorePairJson.h"
#include "messengers/slack/SlackStatus.h"

namespace zonbode::messengers {
namespace {

using nlohmann::json;

constexpr std::string_view kRestorePointName = "Slack";
// A status equal to the one shown is written again only when this little of its life is left.
constexpr std::chrono::hours kRenewWithin{1};

std::int64_t UnixSeconds(std::chrono::system_clock::time_point at) {
    return std::chrono::duration_cast<std::chrono::seconds>(at.time_since_epoch()).count();
}

json StatusJson(const SlackStatus& status) {
    return {{"text", status.text}, {"emoji", status.emoji}, {"expiration", status.expiration}};
}

SlackStatus StatusFrom(const json& kept) {
    SlackStatus status;
    status.text = kept.value("text", std::string());
    status.emoji = kept.value("emoji", std::string());
    status.expiration = kept.value("expiration", std::int64_t{0});
    return status;
}

}  // namespace

SlackStatusDelivery::SlackStatusDelivery(SlackWeb& web, RestorePoints& points, Now now,
                                         std::function<void(const std::string&)> tell)
    : web_(web),
      points_(points),
      now_(std::move(now)),
      tell_(std::move(tell)),
      kept_(ReadRestorePair<SlackStatus>(points_, kRestorePointName, StatusFrom)) {}

void SlackStatusDelivery::Deliver(const std::string& token, std::uint32_t dwData,
                                  std::span<const std::uint8_t> record, const DayRecord* day,
                                  Deadline deadline) {
    const std::optional<RecordAsk> ask = RecordText(dwData, record);
    if (!ask) {
        return;
    }
    token_ = token;
    deadline_ = deadline;
    if (ask->switchOff) {
        SwitchOff();
    } else {
        SetStatus(ask->text, day);
    }
}

void SlackStatusDelivery::Restore(const std::string& token, Deadline deadline) {
    token_ = token;
    deadline_ = deadline;
    SwitchOff();
}

void SlackStatusDelivery::ForgetRestore() {
    kept_.Clear();
    Keep();
}

void SlackStatusDelivery::Forgive(const std::string& token) {
    if (refusedToken_ == token) {
        refusedToken_.reset();
    }
}

bool SlackStatusDelivery::MayCall(bool restoring) const {
    return !token_.empty() && token_ != refusedToken_ && (restoring || now_() >= quietUntil_);
}

SlackResult SlackStatusDelivery::Call(std::string_view method, const std::string& body,
                                      bool restoring) {
    using namespace std::chrono;
    const auto left = duration_cast<milliseconds>(deadline_ - steady_clock::now());
    if (left <= milliseconds(0) || !MayCall(restoring)) {
        SlackResult none;
        none.outcome = SlackOutcome::NoAnswer;
        return none;
    }
    SlackResult result = ReadSlackReply(web_.Call(method, token_, body, left));
    std::string problem;
    if (result.outcome == SlackOutcome::RateLimited) {
        quietUntil_ = now_() + result.retryAfter;
        problem = "ratelimited";
    } else if (result.outcome == SlackOutcome::TokenRefused) {
        refusedToken_ = token_;
        told_.erase(result.error);  // a new token's refusal is news
        problem = result.error;
    } else if (result.outcome == SlackOutcome::Failed && !result.error.empty()) {
        problem = result.error;
    }
    if (!problem.empty() && told_.insert(problem).second && tell_) {
        SlackResult said = result;
        said.error = problem;
        said.outcome = SlackOutcome::Failed;
        tell_(SlackProblemText(said));
    }
    return result;
}

// The status shown is the one set last, or that one gone by its own expiration.
bool SlackStatusDelivery::IsOurs(const SlackStatus& shown) const {
    if (!kept_.ours) {
        return false;
    }
    if (shown.text == kept_.ours->text && shown.emoji == kept_.ours->emoji) {
        return true;
    }
    return shown.text.empty() && shown.emoji.empty() &&
           kept_.ours->expiration <= UnixSeconds(now_());
}

void SlackStatusDelivery::Keep() {
    WriteRestorePair(points_, kRestorePointName, kept_, StatusJson);
}

void SlackStatusDelivery::SetStatus(const std::string& text, const DayRecord* day) {
    const auto now = now_();
    if (!MayCall(false) || !spacing_.TakeTurn(day && day->chosenByHand, now)) {
        return;
    }
    const SlackResult shown = Call("users.profile.get", {});
    if (shown.outcome != SlackOutcome::Ok || !shown.profileStatus) {
        return;  // without the status shown now there would be nothing sound to bring back
    }
    if (!IsOurs(*shown.profileStatus)) {
        kept_.earlier = shown.profileStatus;
    }
    const SlackStatus next{SlackStatusText(text), day ? SlackStatusEmoji(day->fields) : "",
                           UnixSeconds(now + kSlackStatusLifetime)};
    const SlackStatus& showing = *shown.profileStatus;
    if (showing.text == next.text && showing.emoji == next.emoji &&
        (showing.expiration == 0 || showing.expiration > UnixSeconds(now + kRenewWithin))) {
        return;  // already shown, and for long enough
    }
    // Kept before it is set: an answer that comes too late, or never because the program is
    // killed meanwhile, may still have been carried out.
    kept_.ours = next;
    Keep();
    spacing_.Wrote(now);
    if (Call("users.profile.set", SlackProfileSetBody(next)).outcome == SlackOutcome::Ok) {
        told_.clear();
    }
}

void SlackStatusDelivery::SwitchOff() {
    if (!kept_.Held()) {
        return;  // nothing was changed, in this run or one before
    }
    const SlackResult shown = Call("users.profile.get", {}, true);
    if (shown.outcome != SlackOutcome::Ok || !shown.profileStatus) {
        return;  // kept for the next start
    }
    if (IsOurs(*shown.profileStatus)) {
        SlackStatus back = *kept_.earlier;
        // A status that has run out meanwhile is not put back.
        if (back.expiration != 0 && back.expiration <= UnixSeconds(now_())) {
            back = SlackStatus{};
        }
        if (Call("users.profile.set", SlackProfileSetBody(back), true).outcome !=
            SlackOutcome::Ok) {
            return;
        }
    }
    kept_.Clear();
    Keep();
}

}  // namespace zonbode::messengers
