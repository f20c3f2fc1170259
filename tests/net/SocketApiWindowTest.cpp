// The notification window: its procedure chain, its lifetime, and the order and one-at-a-time
// handling of its messages.

#include <set>
#include <vector>

#include "net/SocketApiFixture.h"

namespace zonbode::net::testing {
namespace {

constexpr std::uint32_t kPlainMessage = 0x0400;

std::vector<int>& Calls() {
    static std::vector<int> calls;
    return calls;
}

std::intptr_t FirstProc(sys::WindowHandle, std::uint32_t, std::intptr_t wParam, std::intptr_t) {
    Calls().push_back(1);
    return wParam + 1000;
}

std::intptr_t SecondProc(sys::WindowHandle, std::uint32_t, std::intptr_t, std::intptr_t) {
    Calls().push_back(2);
    return 2;
}

TEST_F(SocketApiTest, WindowsComeAndGoWithFreshHandles) {
    std::set<sys::WindowHandle> seen{window_};
    for (int i = 0; i < 100; ++i) {
        sys::WindowHandle w = sys::CreateNotificationWindow();
        ASSERT_NE(0, w);
        EXPECT_TRUE(seen.insert(w).second) << "handle " << w << " came back";
        ASSERT_TRUE(sys::DestroyNotificationWindow(w));
        EXPECT_FALSE(sys::DestroyNotificationWindow(w));
    }
}

TEST_F(SocketApiTest, ProcedureChainAndTheDefaultProcedure) {
    Calls().clear();
    sys::WindowHandle w = sys::CreateNotificationWindow();
    std::intptr_t original = sys::SetWindowProc(w, &FirstProc);
    ASSERT_NE(0, original);
    EXPECT_EQ(0, sys::CallPreviousWindowProc(original, w, kPlainMessage, 5, 6))
        << "a fresh window's own procedure does nothing";

    std::intptr_t previous = sys::SetWindowProc(w, &SecondProc);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(&FirstProc), previous);
    EXPECT_EQ(1007, sys::CallPreviousWindowProc(previous, w, kPlainMessage, 7, 0));

    ASSERT_TRUE(sys::PostNotification(w, kPlainMessage, 1, 0));
    ASSERT_TRUE(WaitFor([] { return Calls().size() == 2; }));
    sys::RestoreWindowProc(w, previous);
    ASSERT_TRUE(sys::PostNotification(w, kPlainMessage, 1, 0));
    ASSERT_TRUE(WaitFor([] { return Calls().size() == 3; }));
    EXPECT_EQ((std::vector<int>{1, 2, 1}), Calls());
    sys::DestroyNotificationWindow(w);
}

TEST_F(SocketApiTest, MessagesForADestroyedWindowAreDropped) {
    sys::WindowHandle doomed = sys::CreateNotificationWindow();
    ASSERT_NE(0, sys::SetWindowProc(doomed, &RecordingProc));
    ASSERT_TRUE(sys::PostNotification(doomed, kPlainMessage, 1, 0));
    ASSERT_TRUE(sys::PostNotification(window_, kPlainMessage, 2, 0));
    ASSERT_TRUE(sys::DestroyNotificationWindow(doomed));
    EXPECT_FALSE(sys::PostNotification(doomed, kPlainMessage, 3, 0));

    ASSERT_TRUE(WaitFor([] { return !Notes().empty(); }));
    Settle(std::chrono::milliseconds(100));
    ASSERT_EQ(1u, Notes().size());
    EXPECT_EQ(window_, Notes()[0].window);
    EXPECT_EQ(2, Notes()[0].wParam);
}

TEST_F(SocketApiTest, MessagesArriveInPostingOrderAcrossWindows) {
    sys::WindowHandle other = sys::CreateNotificationWindow();
    ASSERT_NE(0, sys::SetWindowProc(other, &RecordingProc));
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(sys::PostNotification(i % 3 == 0 ? other : window_, kPlainMessage, i, i));
    }
    ASSERT_TRUE(WaitFor([] { return Notes().size() == 50; }));
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(i, Notes()[i].wParam);
        EXPECT_EQ(i % 3 == 0 ? other : window_, Notes()[i].window);
    }
    sys::DestroyNotificationWindow(other);
}

TEST_F(SocketApiTest, HandlersNeverRunInsideAnotherHandler) {
    int depth = 0;
    int deepest = 0;
    OnNote() = [&](const Note&) {
        ++depth;
        deepest = std::max(deepest, depth);
        // A handler that pumps must not get the next message delivered inside itself.
        EventLoop::ProcessPending();
        EventLoop::RunUntil([] { return false; }, std::chrono::milliseconds(0));
        --depth;
    };
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(sys::PostNotification(window_, kPlainMessage, i, 0));
    }
    ASSERT_TRUE(WaitFor([] { return Notes().size() == 5; }));
    EXPECT_EQ(1, deepest);
}

TEST_F(SocketApiTest, PollDescriptorAndProcessPendingServeAForeignLoop) {
    int descriptor = EventLoop::PollDescriptor();
    EXPECT_GE(descriptor, 0);
    EXPECT_EQ(descriptor, EventLoop::PollDescriptor());
    ASSERT_TRUE(sys::PostNotification(window_, kPlainMessage, 42, 0));
    EventLoop::ProcessPending();
    ASSERT_EQ(1u, Notes().size());
    EXPECT_EQ(42, Notes()[0].wParam);
}

TEST_F(SocketApiTest, LoopTimersTickUntilRemoved) {
    int ticks = 0;
    EventLoop::TimerId timer = EventLoop::AddTimer(std::chrono::milliseconds(5), [&] { ++ticks; });
    EXPECT_GT(timer, 0);
    ASSERT_TRUE(WaitFor([&] { return ticks >= 3; }));
    EventLoop::RemoveTimer(timer);
    int after = ticks;
    Settle(std::chrono::milliseconds(50));
    EXPECT_EQ(after, ticks);

    // A tick may remove its own timer.
    int once = 0;
    EventLoop::TimerId self = 0;
    self = EventLoop::AddTimer(std::chrono::milliseconds(1), [&] {
        ++once;
        EventLoop::RemoveTimer(self);
    });
    Settle(std::chrono::milliseconds(50));
    EXPECT_EQ(1, once);
    EXPECT_FALSE(EventLoop::RunUntil([] { return false; }, std::chrono::milliseconds(10)));
}

}  // namespace
}  // namespace zonbode::net::testing
