// The hidden notification window and the hook on its procedure, on real windows.

// SocketApi.h first: its FD_* constants share their names with Winsock's macros.
#include "net/SocketApi.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "net/EventLoop.h"

namespace zonbode::net {
namespace {

constexpr std::uint32_t kPrivateMessage = WM_APP + 7;

struct Seen {
    std::uint32_t message;
    std::intptr_t wParam;
    std::intptr_t lParam;
};

std::vector<Seen>& SeenMessages() {
    static std::vector<Seen> seen;
    return seen;
}

std::intptr_t& PreviousProc() {
    static std::intptr_t previous = 0;
    return previous;
}

// Records the private message and passes everything else on, as the router does.
std::intptr_t RecordingProc(sys::WindowHandle window, std::uint32_t message, std::intptr_t wParam,
                            std::intptr_t lParam) {
    if (message == kPrivateMessage) {
        SeenMessages().push_back({message, wParam, lParam});
        return 42;
    }
    return sys::CallPreviousWindowProc(PreviousProc(), window, message, wParam, lParam);
}

std::intptr_t ThrowingProc(sys::WindowHandle, std::uint32_t message, std::intptr_t, std::intptr_t) {
    if (message == kPrivateMessage) {
        throw std::runtime_error("handler failed");
    }
    return 0;
}

class NotificationWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SeenMessages().clear();
        PreviousProc() = 0;
        window_ = sys::CreateNotificationWindow();
        ASSERT_NE(0, window_);
    }
    void TearDown() override {
        if (window_ != 0 && IsWindow(Native())) {
            sys::DestroyNotificationWindow(window_);
        }
    }
    HWND Native() const { return reinterpret_cast<HWND>(window_); }

    std::string Text() const {
        char buffer[64] = {};
        GetWindowTextA(Native(), buffer, sizeof buffer);
        return buffer;
    }

    sys::WindowHandle window_ = 0;
};

TEST_F(NotificationWindowTest, IsAHiddenTopLevelStaticWindowTitledSocketWindow) {
    char className[32] = {};
    GetClassNameA(Native(), className, sizeof className);
    EXPECT_STRCASEEQ("STATIC", className);
    EXPECT_EQ("SOCKET_WINDOW", Text());
    EXPECT_FALSE(IsWindowVisible(Native()));
    EXPECT_EQ(nullptr, GetParent(Native()));
    EXPECT_EQ(0, GetWindowLongPtrA(Native(), GWL_STYLE) & (WS_VISIBLE | WS_CHILD));
}

TEST_F(NotificationWindowTest, DestroyingRemovesTheWindowAndEachCreationGivesANewOne) {
    sys::WindowHandle second = sys::CreateNotificationWindow();
    ASSERT_NE(0, second);
    EXPECT_NE(window_, second);
    EXPECT_TRUE(sys::DestroyNotificationWindow(second));
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(second)));
    EXPECT_FALSE(sys::DestroyNotificationWindow(second));  // already gone
}

TEST_F(NotificationWindowTest, HookSeesPostedMessagesWithTheirValuesAndItsResultIsReturned) {
    PreviousProc() = sys::SetWindowProc(window_, &RecordingProc);
    ASSERT_NE(0, PreviousProc());
    // Full-width values: handles and lParams are not cut to 32 bits on the way.
    ASSERT_TRUE(PostMessageA(Native(), kPrivateMessage, 0x1234, 0x7FFF0020));
    ASSERT_TRUE(
        EventLoop::RunUntil([] { return !SeenMessages().empty(); }, std::chrono::seconds(20)));
    ASSERT_EQ(1u, SeenMessages().size());
    EXPECT_EQ(0x1234, SeenMessages()[0].wParam);
    EXPECT_EQ(0x7FFF0020, SeenMessages()[0].lParam);
    EXPECT_EQ(42, SendMessageA(Native(), kPrivateMessage, 1, 2));
}

TEST_F(NotificationWindowTest, OtherMessagesReachTheStaticControlsOwnProcedure) {
    PreviousProc() = sys::SetWindowProc(window_, &RecordingProc);
    ASSERT_NE(0, PreviousProc());
    // The static control keeps its text itself: setting and reading it back only works when
    // the hook hands both messages to the previous procedure.
    ASSERT_TRUE(SetWindowTextA(Native(), "passed on"));
    EXPECT_EQ("passed on", Text());
    EXPECT_TRUE(SeenMessages().empty());
}

TEST_F(NotificationWindowTest, RestoringTheProcedureEndsTheHook) {
    std::intptr_t previous = sys::SetWindowProc(window_, &RecordingProc);
    PreviousProc() = previous;
    ASSERT_NE(0, previous);
    sys::RestoreWindowProc(window_, previous);
    EXPECT_EQ(previous, GetWindowLongPtrA(Native(), GWLP_WNDPROC));
    SendMessageA(Native(), kPrivateMessage, 0, 0);
    EXPECT_TRUE(SeenMessages().empty());
    ASSERT_TRUE(SetWindowTextA(Native(), "still works"));
    EXPECT_EQ("still works", Text());
}

TEST_F(NotificationWindowTest, HookingAWindowThatIsGoneFails) {
    ASSERT_TRUE(sys::DestroyNotificationWindow(window_));
    EXPECT_EQ(0, sys::SetWindowProc(window_, &RecordingProc));
    window_ = 0;
}

TEST_F(NotificationWindowTest, ExceptionFromTheProcedureReachesTheLoopThatDispatchedIt) {
    ASSERT_NE(0, sys::SetWindowProc(window_, &ThrowingProc));
    ASSERT_TRUE(PostMessageA(Native(), kPrivateMessage, 0, 0));
    EXPECT_THROW(EventLoop::RunUntil([] { return false; }, std::chrono::seconds(5)),
                 std::runtime_error);
    // Once reported, it is gone: the loop runs on.
    EXPECT_FALSE(EventLoop::RunUntil([] { return false; }, std::chrono::milliseconds(50)));
}

TEST(WindowsEventLoop, HasNoDescriptorAndTimersTickUntilRemoved) {
    EXPECT_EQ(-1, EventLoop::PollDescriptor());
    int ticks = 0;
    EventLoop::TimerId id = 0;
    id = EventLoop::AddTimer(std::chrono::milliseconds(10), [&] {
        if (++ticks == 3) {
            EventLoop::RemoveTimer(id);  // from inside its own tick
        }
    });
    ASSERT_GT(id, 0);
    EXPECT_TRUE(EventLoop::RunUntil([&] { return ticks == 3; }, std::chrono::seconds(20)));
    EventLoop::RunUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(3, ticks);
}

TEST(WindowsEventLoop, RunUntilGivesUpAtTheTimeout) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(EventLoop::RunUntil([] { return false; }, std::chrono::milliseconds(200)));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(190));
}

}  // namespace
}  // namespace zonbode::net
