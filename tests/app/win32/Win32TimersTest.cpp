// The Timer port on thread timers, driven by the thread's message queue.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

#include "app/win32/Win32Timers.h"
#include "net/EventLoop.h"

namespace zonbode::app::win32 {
namespace {

using namespace std::chrono_literals;

void Pump(std::chrono::milliseconds time) {
    net::EventLoop::RunUntil([] { return false; }, time);
}

TEST(Win32Timers, TicksWhileRunningAndNotWhenStopped) {
    Win32Timers factory;
    int ticks = 0;
    auto timer = factory.CreateTimer(20ms, false, [&] { ++ticks; });
    EXPECT_FALSE(timer->IsRunning());
    Pump(150ms);
    EXPECT_EQ(0, ticks);

    timer->Start();
    EXPECT_TRUE(timer->IsRunning());
    EXPECT_TRUE(net::EventLoop::RunUntil([&] { return ticks >= 3; }, 20s));
    timer->Stop();
    EXPECT_FALSE(timer->IsRunning());
    const int stoppedAt = ticks;
    Pump(150ms);
    EXPECT_EQ(stoppedAt, ticks);
}

TEST(Win32Timers, ACreatedRunningTimerTicks) {
    Win32Timers factory;
    int ticks = 0;
    auto timer = factory.CreateTimer(20ms, true, [&] { ++ticks; });
    EXPECT_TRUE(timer->IsRunning());
    EXPECT_TRUE(net::EventLoop::RunUntil([&] { return ticks >= 1; }, 20s));
}

// SetTimer on a running timer would start its interval again: started over and over more
// often than its interval, it would never tick.
TEST(Win32Timers, StartingARunningTimerKeepsItsSchedule) {
    Win32Timers factory;
    int ticks = 0;
    auto timer = factory.CreateTimer(300ms, true, [&] { ++ticks; });
    auto restarter = factory.CreateTimer(50ms, true, [&] { timer->Start(); });
    EXPECT_TRUE(net::EventLoop::RunUntil([&] { return ticks >= 2; }, 20s));
}

TEST(Win32Timers, ATickMayStopItsOwnTimer) {
    Win32Timers factory;
    int ticks = 0;
    std::unique_ptr<Timer> timer;
    timer = factory.CreateTimer(10ms, true, [&] {
        ++ticks;
        timer->Stop();
    });
    EXPECT_TRUE(net::EventLoop::RunUntil([&] { return ticks >= 1; }, 20s));
    Pump(100ms);
    EXPECT_EQ(1, ticks);
    EXPECT_FALSE(timer->IsRunning());
}

}  // namespace
}  // namespace zonbode::app::win32
