// The delivery rules against Slack's Web API as recorded, on loopback, with a clock of the
// test's own for the rules that count minutes.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "RecordedSlack.h"
#include "messengers/slack/SlackStatus.h"
#include "status/StatusMessage.h"

namespace zonbode::messengers {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using testing::RecordedSlack;

std::string ErrorText(const std::string& error) {
    SlackResult result;
    result.error = error;
    return SlackProblemText(result);
}

const std::vector<std::string> kGet = {"GET /api/users.profile.get"};
const std::vector<std::string> kGetSet = {"GET /api/users.profile.get",
                                          "POST /api/users.profile.set"};

class SlackDelivery : public ::testing::Test {
protected:
    SlackDelivery() : web_(slack_.Url()) {
        slack_.Set({{"status", kVacation}});
        slack_.Look();
    }

    // One run of the program: a delivery that keeps its restore point in `points_`.
    std::unique_ptr<SlackStatusDelivery> Run() {
        return std::make_unique<SlackStatusDelivery>(
            web_, points_, [this] { return now_; },
            [this](const std::string& text) { told_.push_back(text); });
    }
    void Day(SlackStatusDelivery& run, const std::string& text, bool byHand = true) {
        DayRecord day{{"Woensdag", "80", "10", "3", "8", "12", "ZW", "4"}, byHand};
        run.Deliver(kToken, status::kStatusCopyDataId,
                    status::StatusPayload(status::kStatusCategory, true, status::kStatusFormat,
                                          text, {}, {}, {}),
                    &day, std::chrono::steady_clock::now() + 5s);
    }
    void SwitchOff(SlackStatusDelivery& run) {
        run.Deliver(kToken, status::kStatusCopyDataId,
                    status::StatusPayload(status::kSwitchOffCategory, false,
                                          status::kSwitchOffFormat, {}, {}, {}, {}),
                    nullptr, std::chrono::steady_clock::now() + 5s);
    }

    static inline const std::string kToken = "xoxp-rules-1";
    static inline const json kVacation =
        RecordedSlack::Status("Op vakantie tot maandag", ":palm_tree:");

    RecordedSlack slack_;
    SlackHttp web_;
    RestorePointsInMemory points_;
    std::chrono::system_clock::time_point now_ = std::chrono::system_clock::now();
    std::vector<std::string> told_;
};

TEST_F(SlackDelivery, AKilledRunLeavesTheUsersStatusForTheNextToBringBack) {
    Day(*Run(), "Maandag | Zon");  // killed: no switch-off
    EXPECT_EQ(slack_.Look().status["status_text"], "Maandag | Zon");

    // The next run sees its own leftover for what it is: the vacation comes back at the start,
    // and again after a run that ends normally.
    auto next = Run();
    next->Restore(kToken, std::chrono::steady_clock::now() + 5s);
    EXPECT_EQ(slack_.Look().status, kVacation);
    Day(*next, "Dinsdag | Zon");
    SwitchOff(*next);
    EXPECT_EQ(slack_.Look().status, kVacation);
    EXPECT_EQ(points_.Read("Slack"), "");
}

TEST_F(SlackDelivery, TheSwitchOffTriesItsRestoreDuringARateLimitAndOwesItWhenRefused) {
    auto run = Run();
    Day(*run, "Maandag | Zon");
    slack_.Set({{"refuse", {429, 60}}});
    Day(*run, "Dinsdag | Zon");  // 429: quiet from now on
    slack_.Look();
    Day(*run, "Woensdag | Zon");
    EXPECT_TRUE(slack_.Look().calls.empty());
    SwitchOff(*run);
    EXPECT_EQ(slack_.Look().calls, kGet);  // tried, and refused again
    EXPECT_TRUE(run->OwesRestore());

    slack_.Set({{"refuse", nullptr}});
    auto next = Run();
    next->Restore(kToken, std::chrono::steady_clock::now() + 5s);
    EXPECT_EQ(slack_.Look().status, kVacation);
}

TEST_F(SlackDelivery, TheAutomaticCycleWritesOnceInFiveMinutesAndAnEqualStatusNotAtAll) {
    auto run = Run();
    Day(*run, "Maandag", false);
    EXPECT_EQ(slack_.Look().calls, kGetSet);
    for (int tick = 0; tick < 9; ++tick) {  // 30 s apart, 4.5 minutes in all
        now_ += 30s;
        Day(*run, "Dinsdag", false);
    }
    EXPECT_TRUE(slack_.Look().calls.empty());
    now_ += 30s;
    Day(*run, "Woensdag", false);
    EXPECT_EQ(slack_.Look().status["status_text"], "Woensdag");

    // A day chosen by hand goes at once; the same day again is only read.
    now_ += 10s;
    Day(*run, "Donderdag");
    EXPECT_EQ(slack_.Look().calls, kGetSet);
    Day(*run, "Donderdag");
    EXPECT_EQ(slack_.Look().calls, kGet);
    // Never more than Slack's ten writes a minute.
    for (int click = 0; click < 12; ++click) {
        Day(*run, "Dag " + std::to_string(click));
    }
    int writes = 0;
    for (const std::string& call : slack_.Look().calls) {
        writes += call == kGetSet[1] ? 1 : 0;
    }
    EXPECT_EQ(writes, 8);  // with Woensdag's and Donderdag's, ten in this minute
}

TEST_F(SlackDelivery, EachErrorIsToldOnceAndARefusedTokenIsNotTriedAgain) {
    struct Case {
        std::string error;
        bool refusesToken;
    };
    const Case cases[] = {
        {"not_allowed_token_type", true}, {"missing_scope", true},
        {"no_permission", true},          {"two_factor_setup_required", true},
        {"account_inactive", true},       {"token_expired", true},
        {"token_revoked", true},          {"invalid_auth", true},
        {"accesslimited", false},         {"too_long", false},
    };
    for (const Case& c : cases) {
        told_.clear();
        slack_.Set({{"refuse", {200, c.error}}});
        auto run = Run();
        for (int record = 0; record < 3; ++record) {
            Day(*run, "Maandag");
        }
        ASSERT_EQ(told_.size(), 1u) << c.error;
        EXPECT_EQ(told_[0], ErrorText(c.error)) << c.error;
        EXPECT_EQ(told_[0].find(c.error), std::string::npos) << "a Dutch sentence: " << told_[0];
        EXPECT_EQ(slack_.Look().calls.size(), c.refusesToken ? 1u : 3u) << c.error;
    }
    told_.clear();
    slack_.Set({{"refuse", {429, 30}}});
    auto run = Run();
    Day(*run, "Maandag");
    EXPECT_EQ(told_, std::vector<std::string>{ErrorText("ratelimited")});
}

}  // namespace
}  // namespace zonbode::messengers
