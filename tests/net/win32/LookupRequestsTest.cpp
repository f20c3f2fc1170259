// The Winsock backend's record of its lookups, driven with completion orders that the real
// service shows only on Windows: a cancel the service confirms (nothing is posted after it),
// and a task number handed out again.

#include "net/win32/LookupRequests.h"

#include <gtest/gtest.h>

namespace zonbode::net::win32 {
namespace {

constexpr std::intptr_t kWindow = 1;
constexpr std::uint32_t kMessage = 2048;

class LookupRequestsTest : public ::testing::Test {
protected:
    void Start(std::int32_t task, void* buffer) {
        requests.Add({kWindow, kMessage, task, buffer, 16, std::make_unique<char[]>(16)});
    }
    // The requester's buffer of the request a completion ends; null for a cancelled one,
    // whose completion is dropped.
    void* Completed(std::int32_t task) {
        auto request = requests.Complete(kWindow, kMessage, task);
        EXPECT_TRUE(request.has_value()) << task;
        return request ? request->requesterBuffer : nullptr;
    }

    LookupRequests requests;
    char first[16] = {};
    char second[16] = {};
};

TEST_F(LookupRequestsTest, CancelsTheServiceConfirmedLeaveABoundedRecord) {
    for (std::int32_t task = 1; task <= 500; ++task) {
        Start(task, first);
        ASSERT_TRUE(requests.Cancel(task, true));
    }
    EXPECT_EQ(requests.Live(), 0u);
    EXPECT_LE(requests.Kept(), LookupRequests::kMaxStopped);
}

TEST_F(LookupRequestsTest, ANumberHandedOutAgainAfterAConfirmedCancelBelongsToTheNewLookup) {
    Start(7, first);
    ASSERT_TRUE(requests.Cancel(7, true));
    Start(7, second);
    EXPECT_EQ(Completed(7), second);
    EXPECT_EQ(requests.Kept(), 0u);
}

TEST_F(LookupRequestsTest, ACompletionAlreadyOnItsWayEndsTheCancelledLookupFirst) {
    Start(7, first);
    ASSERT_TRUE(requests.Cancel(7, false));  // too late: its completion is queued
    Start(7, second);
    EXPECT_EQ(Completed(7), nullptr);
    EXPECT_EQ(Completed(7), second);
    EXPECT_EQ(requests.Kept(), 0u);
}

TEST_F(LookupRequestsTest, ACompletionAfterAConfirmedCancelIsStillDropped) {
    // A service that reports the cancel done and completes the lookup anyway (wine does).
    Start(5, first);
    ASSERT_TRUE(requests.Cancel(5, true));
    EXPECT_EQ(Completed(5), nullptr);
    EXPECT_EQ(requests.Kept(), 0u);
    EXPECT_FALSE(requests.Cancel(5, true)) << "nothing left to cancel";
    EXPECT_FALSE(requests.Complete(kWindow, kMessage, 5).has_value());
}

TEST_F(LookupRequestsTest, AGoneWindowEndsItsLiveLookups) {
    Start(3, first);
    requests.ForgetWindow(kWindow);
    EXPECT_EQ(requests.Live(), 0u);
    EXPECT_FALSE(requests.Cancel(3, true));
}

}  // namespace
}  // namespace zonbode::net::win32
