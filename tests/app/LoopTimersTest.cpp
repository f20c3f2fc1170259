// The event loop's timers behind the Timer port, as the headless tools use them.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/LoopTimers.h"
#include "app/SystemClock.h"
#include "net/EventLoop.h"

namespace zonbode::app {
namespace {

using namespace std::chrono_literals;

bool RunUntil(const std::function<bool()>& done) {
    return net::EventLoop::RunUntil(done, 20s);
}

TEST(LoopTimers, StartOnARunningTimerKeepsItsSchedule) {
    LoopTimers timers;
    std::vector<std::string> order;
    auto a = timers.CreateTimer(300ms, true, [&] { order.push_back("a"); });
    std::unique_ptr<Timer> b;
    // 100 ms in: start `a` again and create `b`, due 50 ms after a's first tick but 50 ms
    // before the tick a restarted `a` would have.
    auto helper = timers.CreateTimer(100ms, true, [&] {
        if (!b) {
            a->Start();
            b = timers.CreateTimer(250ms, true, [&] { order.push_back("b"); });
        }
    });
    ASSERT_TRUE(RunUntil([&] { return order.size() >= 2; }));
    EXPECT_EQ(order[0], "a");
    EXPECT_EQ(order[1], "b");
}

TEST(LoopTimers, CreatedStoppedTimerWaitsForStart) {
    LoopTimers timers;
    int ticks = 0;
    auto stopped = timers.CreateTimer(20ms, false, [&] { ++ticks; });
    EXPECT_FALSE(stopped->IsRunning());
    net::EventLoop::RunUntil([] { return false; }, 150ms);
    EXPECT_EQ(ticks, 0);
    stopped->Start();
    EXPECT_TRUE(stopped->IsRunning());
    ASSERT_TRUE(RunUntil([&] { return ticks >= 3; }));
    stopped->Stop();
    EXPECT_FALSE(stopped->IsRunning());
    const int seen = ticks;
    net::EventLoop::RunUntil([] { return false; }, 150ms);
    EXPECT_EQ(ticks, seen);
}

TEST(LoopTimers, ATickMayStopOrDestroyItsOwnTimer) {
    LoopTimers timers;
    int stopTicks = 0;
    int destroyTicks = 0;
    std::unique_ptr<Timer> stopsItself;
    std::unique_ptr<Timer> destroysItself;
    stopsItself = timers.CreateTimer(10ms, true, [&] {
        ++stopTicks;
        stopsItself->Stop();
    });
    destroysItself = timers.CreateTimer(10ms, true, [&] {
        ++destroyTicks;
        destroysItself.reset();
    });
    ASSERT_TRUE(RunUntil([&] { return stopTicks == 1 && destroyTicks == 1; }));
    net::EventLoop::RunUntil([] { return false; }, 100ms);
    EXPECT_EQ(stopTicks, 1);
    EXPECT_EQ(destroyTicks, 1);
    EXPECT_EQ(destroysItself, nullptr);
}

TEST(SystemClock, GivesAPlausibleLocalDateAndTime) {
    const forecast::LocalDateTime now = SystemClock().LocalNow();
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
    EXPECT_GE(now.hour, 0);
    EXPECT_LE(now.hour, 23);
    EXPECT_GE(now.minute, 0);
    EXPECT_LE(now.minute, 59);
}

}  // namespace
}  // namespace zonbode::app
