// The page server against clients that try to hold it up: each connection ends at its
// deadline however slowly it drips, the longest silent one makes room when too many are open,
// and a well-behaved client gets its page while a hundred others drip or hold connections.

#include <gtest/gtest.h>

#include <memory>

#include "LiveTestSupport.h"
#include "live/LiveSource.h"
#include "live/PageServer.h"
#include "support/LowDescriptorLimit.h"

namespace zonbode::live::testing {
namespace {

constexpr const char* kPage = "<html>trcolor</table></html>";

bool Runs(const std::function<bool()>& done) {
    return RunUntil(done);
}

TEST(PageServerTest, AConnectionEndsAtItsDeadlineHoweverItDrips) {
    // The live source closes expired connections itself: nothing but its worker wakes it.
    RecordedApi api;
    ASSERT_TRUE(api.Listening());
    LiveSchedule schedule{60s, 60s, 60s, 1s};
    LiveSource source({api.Url("week"), api.Url("geo")}, DefaultPlace(), {}, schedule);
    source.Start();
    const auto dripper = NewSlowClient(source.Port(), true);
    const auto silent = NewSlowClient(source.Port(), false);
    EXPECT_TRUE(Runs([&] { return dripper->Closed() && silent->Closed(); }));
    EXPECT_TRUE(dripper->Connected() && silent->Connected());
}

TEST(PageServerTest, TooManyConnectionsPushOutTheOneSilentLongest) {
    PageServer server(kPage, PageServerLimits{std::chrono::minutes(1), 3});
    server.Start(0);
    std::vector<std::unique_ptr<zonbode::testing::SlowClient>> holders;
    for (int i = 0; i < 3; ++i) {
        holders.push_back(NewSlowClient(server.Port(), false));
        // One at a time, so the first is the one silent longest.
        ASSERT_TRUE(Runs([&] { return server.OpenConnections() == holders.size(); }));
    }
    EXPECT_EQ(ServedBody(server.Port()), kPage);
    EXPECT_TRUE(Runs([&] { return holders[0]->Closed(); }));
    EXPECT_FALSE(holders[1]->Closed() || holders[2]->Closed());
}

// Out of descriptors long before the cap on connections: the one silent longest makes room,
// and a client that came meanwhile is served at once, not when some connection ends.
TEST(PageServerTest, OutOfDescriptorsTheOneSilentLongestMakesRoom) {
    PageServer server(kPage);
    server.Start(0);
    zonbode::testing::LowDescriptorLimit limit;
    ASSERT_TRUE(limit.Ok());
    std::vector<std::unique_ptr<zonbode::testing::SlowClient>> holders;
    for (int i = 0; i < 3; ++i) {
        holders.push_back(NewSlowClient(server.Port(), i == 1));
        ASSERT_TRUE(Runs([&] { return server.OpenConnections() == holders.size(); }));
    }
    // Served once while descriptors are left: the sanitizers learn the types the client uses
    // now, since checking a type they have not seen yet takes descriptors of their own.
    EXPECT_EQ(ServedBody(server.Port()), kPage);
    ASSERT_TRUE(limit.TakeAll());
    limit.GiveOneBack();  // for the good client's own end of the connection
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ServedBody(server.Port()), kPage);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_TRUE(holders[0]->Closed()) << "the one silent longest";
    EXPECT_FALSE(holders[2]->Closed());
    limit.TakeNoMore();
}

TEST(PageServerTest, AGoodClientIsServedWhileAHundredOthersDripOrHold) {
    PageServer server(kPage);
    server.Start(0);
    std::vector<std::unique_ptr<zonbode::testing::SlowClient>> others;
    for (int i = 0; i < 100; ++i) {
        // One by one: the listener's queue holds five, and a silent client whose handshake
        // overflowed it would never arrive.
        others.push_back(NewSlowClient(server.Port(), i % 2 == 0));
        ASSERT_TRUE(Runs([&] { return server.OpenConnections() == others.size(); })) << i;
    }
    EXPECT_EQ(ServedBody(server.Port()), kPage);
    for (const auto& other : others) {
        EXPECT_TRUE(other->Connected() && !other->Closed()) << "room enough: nobody is pushed out";
    }
}

}  // namespace
}  // namespace zonbode::live::testing
