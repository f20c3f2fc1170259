// The refresh cycle in-process: the real page server and real fetches from the recorded
// weather API, with the refresh started by hand instead of waiting half an hour.

#include <gtest/gtest.h>

#include <future>

#include "Gateway.h"
#include "GatewaySupport.h"
#include "PageServer.h"
#include "net/EventLoop.h"

namespace zonbode::gateway::testing {
namespace {

using namespace std::chrono_literals;

class GatewayRefresh : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(api_.Listening()) << "api: " << api_.FirstLine();
        source_.latitude = "52.1";
        source_.longitude = "5.18";
        source_.placeName = "De Bilt";
        weekPage_ = FetchFrom("week").page;
        ASSERT_FALSE(weekPage_.empty());
        server_.SetPage(weekPage_);
        server_.Start(0);
    }
    void TearDown() override { server_.Stop(); }

    PageFetch FetchFrom(const std::string& answer) {
        ForecastSource source = source_;
        source.api = api_.Url(answer);
        return FetchForecastPage(source);
    }
    // The gateway's fetch reads `answer_`, which the test changes only between fetches.
    Gateway::Fetch Fetch() {
        return [this] { return FetchFrom(answer_); };
    }

    // The served page's body, fetched by a client thread while the loop serves.
    std::string ServedPage() {
        auto response = std::async(std::launch::async, HttpGet, server_.Port(), kForecastPath);
        net::EventLoop::RunUntil([&] { return response.wait_for(0s) == std::future_status::ready; },
                                 60s);
        const std::string text = response.get();
        const auto body = text.find("\r\n\r\n");
        return body == std::string::npos ? text : text.substr(body + 4);
    }

    void RefreshAndWait(Gateway& gateway) {
        const int before = gateway.FinishedFetches();
        gateway.Refresh();
        ASSERT_TRUE(
            net::EventLoop::RunUntil([&] { return gateway.FinishedFetches() > before; }, 60s));
    }

    RecordedApi api_;
    ForecastSource source_;
    std::string answer_;
    std::string weekPage_;
    pageserver::PageServer server_{""};
    std::vector<std::string> reports_;
};

TEST_F(GatewayRefresh, AFailedRefreshKeepsTheLastGoodPageAndSaysSo) {
    Gateway gateway(server_, Fetch(), 1h,
                    [this](const std::string& line) { reports_.push_back(line); });
    const std::pair<const char*, const char*> failures[] = {
        {"http-500", "the weather service answered HTTP 500"},
        {"bad-json", "the answer is not JSON"},
        {"six-days", "the answer has 6 days, not 7"},
        {"eight-days", "the answer has 8 days, not 7"},
    };
    for (const auto& [answer, cause] : failures) {
        answer_ = answer;
        RefreshAndWait(gateway);
        EXPECT_EQ(ServedPage(), weekPage_) << answer;
        ASSERT_FALSE(reports_.empty()) << answer;
        EXPECT_EQ(reports_.back().rfind(std::string("refresh failed: ") + cause, 0), 0u)
            << reports_.back();
        EXPECT_NE(reports_.back().find("; still serving the forecast fetched "), std::string::npos);
    }
    EXPECT_EQ(reports_.size(), std::size(failures));

    answer_ = "spring-week";
    RefreshAndWait(gateway);
    EXPECT_EQ(ServedPage(), FetchFrom("spring-week").page);
    EXPECT_EQ(reports_.size(), std::size(failures)) << "a good refresh reports nothing";
}

TEST_F(GatewayRefresh, ThePageIsServedWhileAFetchWaitsForASilentService) {
    Gateway gateway(server_, Fetch(), 1h,
                    [this](const std::string& line) { reports_.push_back(line); });
    answer_ = "silent";
    gateway.Refresh();
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(ServedPage(), weekPage_);
    EXPECT_EQ(gateway.FinishedFetches(), 0) << "served only after the fetch gave up";
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 4s) << "Zonbode's watchdog would fire";

    ASSERT_TRUE(net::EventLoop::RunUntil([&] { return gateway.FinishedFetches() == 1; }, 60s));
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0].rfind("refresh failed: no answer within 10 s; still serving", 0), 0u)
        << reports_[0];
    EXPECT_EQ(ServedPage(), weekPage_);
}

TEST_F(GatewayRefresh, TheIntervalStartsTheRefreshes) {
    answer_ = "spring-week";
    Gateway gateway(server_, Fetch(), 200ms,
                    [this](const std::string& line) { reports_.push_back(line); });
    ASSERT_TRUE(net::EventLoop::RunUntil([&] { return gateway.FinishedFetches() >= 3; }, 120s));
    EXPECT_EQ(ServedPage(), FetchFrom("spring-week").page);
    EXPECT_TRUE(reports_.empty());
}

}  // namespace
}  // namespace zonbode::gateway::testing
