#include <gtest/gtest.h>

#include "messengers/ReceiverWaits.h"

namespace zonbode::messengers {

namespace {

using namespace std::chrono_literals;

TEST(ReceiverWaits, TheBoundTheRecordsTimeAndAProbeForOneThatDidNotAnswer) {
    const ReceiverWaits::Clock::time_point now{};
    ReceiverWaits waits(5000ms, 250ms);
    EXPECT_EQ(waits.For("a", now), 5000ms) << "no deadline: the bound";
    waits.SetDeadline(now + 1200ms);
    EXPECT_EQ(waits.For("a", now), 1200ms);
    EXPECT_EQ(waits.Left(now + 2s), 0ms) << "past the deadline";
    waits.SetDeadline(now + 9s);
    EXPECT_EQ(waits.For("a", now), 5000ms) << "never more than the bound";

    waits.Answered("a", false);
    EXPECT_EQ(waits.For("a", now), 250ms);
    EXPECT_EQ(waits.For("b", now), 5000ms) << "only the one that did not answer";
    waits.SetDeadline(now + 100ms);
    EXPECT_EQ(waits.For("a", now), 100ms);
    waits.Answered("a", true);
    waits.SetDeadline(now + 9s);
    EXPECT_EQ(waits.For("a", now), 5000ms) << "answered again: waited for fully";
}

}  // namespace
}  // namespace zonbode::messengers
