#include <string>

#include <nlohmann/json.hpp>

#include "messengers/RecordText.h"
#include "messengers/RestorePairJson.h"
#include "messengers/teams/TeamsStatus.h"

namespace zonbode::messengers {
namespace {

using nlohmann::json;

constexpr std::string_view kRestorePointName = "Teams";
constexpr std::chrono::hours kRenewWithin{1};

json StatusJson(const TeamsStatus& status) {
    return {{"text", status.text}, {"expiry", status.expiry}};
}

TeamsStatus StatusFrom(const json& kept) {
    return TeamsStatus{kept.value("text", std::string()), kept.value("expiry", std::string())};
}

}  // namespace

TeamsStatusDelivery::TeamsStatusDelivery(TeamsWeb& web, RestorePoints& points, Now now)
    : web_(web),
      points_(points),
      now_(std::move(now)),
      kept_(ReadRestorePair<TeamsStatus>(points_, kRestorePointName, StatusFrom)) {}

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
    kept_.Clear();
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
    if (!kept_.ours) {
        return false;
    }
    if (shown.text == kept_.ours->text) {
        return true;
    }
    return shown.text.empty() && !kept_.ours->expiry.empty() &&
           kept_.ours->expiry <= UtcDateTime(now_());
}

void TeamsStatusDelivery::Keep() {
    WriteRestorePair(points_, kRestorePointName, kept_, StatusJson);
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
        kept_.earlier = shown.shown;
    }
    const TeamsStatus next{TeamsStatusText(text), UtcDateTime(now + kTeamsStatusLifetime)};
    if (shown.shown->text == next.text &&
        (shown.shown->expiry.empty() || shown.shown->expiry > UtcDateTime(now + kRenewWithin))) {
        return;  // already shown, and for long enough
    }
    // Kept before it is set: the program may be killed while the answer is on its way.
    kept_.ours = next;
    Keep();
    spacing_.Wrote(now);
    Call("me/presence/setStatusMessage", TeamsStatusBody(next), false);
}

void TeamsStatusDelivery::SwitchOff() {
    if (!kept_.Held()) {
        return;  // nothing was changed, in this run or one before
    }
    const GraphResult shown = Call("me/presence", {}, true);
    if (shown.outcome != GraphOutcome::Ok || !shown.shown) {
        return;  // kept for the next start
    }
    if (IsOurs(*shown.shown)) {
        TeamsStatus back = *kept_.earlier;
        // A message that has run out meanwhile is not put back: the message is cleared.
        if (!back.expiry.empty() && back.expiry <= UtcDateTime(now_())) {
            back = TeamsStatus{};
        }
        if (Call("me/presence/setStatusMessage", TeamsStatusBody(back), true).outcome !=
            GraphOutcome::Ok) {
            return;
        }
    }
    kept_.Clear();
    Keep();
}

}  // namespace zonbode::messengers
