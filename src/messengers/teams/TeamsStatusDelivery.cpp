#include <string>

#include <nlohmann/json.hpp>

#include "messengers/RecordText.h"
#include "messengers/teams/TeamsStatus.h"

namespace zonbode::messengers {
namespace {

using nlohmann::json;

constexpr std::string_view kRestorePointName = "Teams";
constexpr std::chrono::hours kRenewWithin{1};

std::optional<TeamsStatus> StatusFrom(const json& kept, const char* key) {
    const auto it = kept.find(key);
    if (it == kept.end() || !it->is_object()) {
        return std::nullopt;
    }
    return TeamsStatus{it->value("text", std::string()), it->value("expiry", std::string())};
}

}  // namespace

TeamsStatusDelivery::TeamsStatusDelivery(TeamsWeb& web, RestorePoints& points, Now now)
    : web_(web), points_(points), now_(std::move(now)) {
    try {
        const json kept = json::parse(points_.Read(kRestorePointName), nullptr, false);
        if (kept.is_object()) {
            earlier_ = StatusFrom(kept, "earlier");
            lastSet_ = StatusFrom(kept, "ours");
        }
    } catch (const json::exception&) {
        // A kept value of the wrong shape is as good as none.
    }
    if (!earlier_ || !lastSet_) {
        earlier_.reset();
        lastSet_.reset();
    }
}

void TeamsStatusDelivery::Deliver(const std::string& accessToken, std::uint32_t dwData,
                                  std::span<const std::uint8_t> record, const DayRecord* day,
                                  Deadline deadline) {
    const std::optional<RecordAsk> ask = RecordText(dwData, record);
    if (!ask) {
        return;
    }
    access_ = accessToken;
    deadline_ = deadline;
    if (ask->switchOff) {
        SwitchOff();
    } else {
        SetStatus(ask->text, day);
    }
}

void TeamsStatusDelivery::Restore(const std::string& accessToken, Deadline deadline) {
    access_ = accessToken;
    deadline_ = deadline;
    SwitchOff();
}

void TeamsStatusDelivery::ForgetRestore() {
    earlier_.reset();
    lastSet_.reset();
    Keep();
}

GraphResult TeamsStatusDelivery::Call(std::string_view path, const std::string& body,
                                      bool restoring) {
    using namespace std::chrono;
    const auto left = duration_cast<milliseconds>(deadline_ - steady_clock::now());
    if (left <= milliseconds(0) || access_.empty() || (!restoring && now_() < quietUntil_)) {
        GraphResult none;
        none.outcome = GraphOutcome::NoAnswer;
        return none;
    }
    GraphResult result = ReadGraphReply(web_.Graph(path, access_, body, left));
    if (result.outcome == GraphOutcome::Quiet) {
        quietUntil_ = now_() + result.retryAfter;
    }
    return result;
}

bool TeamsStatusDelivery::IsOurs(const TeamsStatus& shown) const {
    if (!lastSet_) {
        return false;
    }
    if (shown.text == lastSet_->text) {
        return true;
    }
    return shown.text.empty() && !lastSet_->expiry.empty() &&
           lastSet_->expiry <= UtcDateTime(now_());
}

void TeamsStatusDelivery::Keep() {
    if (earlier_ && lastSet_) {
        const json kept = {{"earlier", {{"text", earlier_->text}, {"expiry", earlier_->expiry}}},
                           {"ours", {{"text", lastSet_->text}, {"expiry", lastSet_->expiry}}}};
        points_.Write(kRestorePointName, kept.dump(-1, ' ', false, json::error_handler_t::replace));
    } else {
        points_.Write(kRestorePointName, {});
    }
}

void TeamsStatusDelivery::SetStatus(const std::string& text, const DayRecord* day) {
    const auto now = now_();
    if (access_.empty() || now < quietUntil_ || !spacing_.TakeTurn(day && day->chosenByHand, now)) {
        return;
    }
    const GraphResult shown = Call("me/presence", {}, false);
    if (shown.outcome != GraphOutcome::Ok || !shown.shown) {
        return;  // without the message shown now there would be nothing sound to bring back
    }
    if (!IsOurs(*shown.shown)) {
        earlier_ = shown.shown;
    }
    const TeamsStatus next{TeamsStatusText(text), UtcDateTime(now + kTeamsStatusLifetime)};
    if (shown.shown->text == next.text &&
        (shown.shown->expiry.empty() || shown.shown->expiry > UtcDateTime(now + kRenewWithin))) {
        return;  // already shown, and for long enough
    }
    // Kept before it is set: the program may be killed while the answer is on its way.
    lastSet_ = next;
    Keep();
    spacing_.Wrote(now);
    Call("me/presence/setStatusMessage", TeamsStatusBody(next), false);
}

void TeamsStatusDelivery::SwitchOff() {
    if (!lastSet_ || !earlier_) {
        return;  // nothing was changed, in this run or one before
    }
    const GraphResult shown = Call("me/presence", {}, true);
    if (shown.outcome != GraphOutcome::Ok || !shown.shown) {
        return;  // kept for the next start
    }
    if (IsOurs(*shown.shown)) {
        TeamsStatus back = *earlier_;
        // A message that has run out meanwhile is not put back: the message is cleared.
        if (!back.expiry.empty() && back.expiry <= UtcDateTime(now_())) {
            back = TeamsStatus{};
        }
        if (Call("me/presence/setStatusMessage", TeamsStatusBody(back), true).outcome !=
            GraphOutcome::Ok) {
            return;
        }
    }
    earlier_.reset();
    lastSet_.reset();
    Keep();
}

}  // namespace zonbode::messengers
