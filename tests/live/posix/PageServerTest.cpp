// The page server against clients that try to hold it up: each connection ends at its
// deadline however slowly it drips, the longest silent one makes room when too many are open,
// and a well-behaved client gets its page while a hundred others drip or hold connections.

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

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
// and a client that came meanwhile is served at once, not when some connection ends. Every
// client is plain calls on this thread and no thread starts or ends while no descriptor is
// left: even the sanitizers' own checks of a type they have not seen could not run then.
TEST(PageServerTest, OutOfDescriptorsTheOneSilentLongestMakesRoom) {
    PageServer server(kPage);
    server.Start(0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(server.Port()));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto connected = [&to] {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        return fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 ? fd : -1;
    };
    const auto answered = [](int fd) {
        pollfd readable{fd, POLLIN, 0};
        return poll(&readable, 1, 0) > 0;
    };
    std::vector<int> holders;
    for (int i = 0; i < 3; ++i) {
        holders.push_back(connected());
        ASSERT_GE(holders.back(), 0);
        ASSERT_TRUE(Runs([&] { return server.OpenConnections() == holders.size(); }));
    }
    const int client = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(client, 0);
    zonbode::testing::LowDescriptorLimit limit;
    ASSERT_TRUE(limit.Ok());
    limit.TakeAll();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(connect(client, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    const std::string request = std::string("GET ") + kForecastPath + " HTTP/1.1\r\n\r\n";
    ASSERT_EQ(send(client, request.data(), request.size(), 0),
              static_cast<ssize_t>(request.size()));
    ASSERT_TRUE(Runs([&] { return answered(client); }));
    const auto took = std::chrono::steady_clock::now() - start;
    std::string response;
    char buffer[4096];
    for (ssize_t got; (got = recv(client, buffer, sizeof buffer, 0)) > 0;) {
        response.append(buffer, static_cast<std::size_t>(got));
    }
    const bool firstClosed = answered(holders[0]) && recv(holders[0], buffer, 1, 0) == 0;
    const bool lastOpen = !answered(holders[2]);
    limit.TakeNoMore();
    close(client);
    for (int holder : holders) {
        close(holder);
    }
    EXPECT_LT(took, 2s);
    EXPECT_TRUE(response.ends_with(kPage)) << response;
    EXPECT_TRUE(firstClosed) << "the one silent longest";
    EXPECT_TRUE(lastOpen);
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
