// The runtime's router as a hook on the real notification window: it routes through the
// current tables (reusing freed slots), hands every other message to the window's own
// procedure, and comes off again with the window.

// SocketApi.h first: its FD_* constants share their names with Winsock's macros.
#include "net/SocketApi.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "net/CNetSocket.h"
#include "net/Diagnostics.h"
#include "net/EventLoop.h"
#include "net/modNetSocket.h"

namespace zonbode::net {
namespace {

std::shared_ptr<CNetSocket> BoundUdpSocket(int* arrivals) {
    auto socket = CNetSocket::Create();
    socket->SetProtocol(sckProtocolUdp);
    socket->Events.DataArrival = [arrivals](std::int32_t) { ++*arrivals; };
    socket->Bind(Variant(0), Variant("127.0.0.1"));
    return socket;
}

void SendDatagram(std::int32_t port) {
    sys::Handle peer = sys::Socket(sys::kAfInet, sys::kSockDgram, sys::kIpprotoUdp);
    ASSERT_NE(sys::kInvalidSocket, peer);
    sys::SockAddrIn to;
    to.port = sys::HostToNetShort(static_cast<std::uint16_t>(port));
    to.addr = sys::InetAddr("127.0.0.1");
    EXPECT_EQ(4, sys::SendTo(peer, "ping", 4, 0, to));
    sys::CloseSocket(peer);
}

HWND RuntimeWindow() {
    return reinterpret_cast<HWND>(modNetSocket::WindowHandle());
}

std::string WindowText(HWND window) {
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class RouterTest : public ::testing::Test {
protected:
    // Keeps the service started across the socket objects coming and going.
    void SetUp() override { ASSERT_EQ(0, modNetSocket::InitiateProcesses()); }
    void TearDown() override { modNetSocket::FinalizeProcesses(); }
};

TEST_F(RouterTest, AFreedSlotIsReusedAndRoutesToItsNewOwner) {
    int first = 0, second = 0, third = 0;
    auto a = BoundUdpSocket(&first);
    auto b = BoundUdpSocket(&second);
    ASSERT_EQ(2, modNetSocket::SocketRouteCount());
    ASSERT_EQ(a->SocketHandle(), modNetSocket::SocketRouteHandle(1));
    HWND window = RuntimeWindow();

    a->CloseSck();
    EXPECT_EQ(-1, modNetSocket::SocketRouteHandle(1));
    auto c = BoundUdpSocket(&third);
    EXPECT_EQ(c->SocketHandle(), modNetSocket::SocketRouteHandle(1)) << "slot 1 taken again";
    EXPECT_EQ(2, modNetSocket::SocketRouteCount());
    EXPECT_EQ(window, RuntimeWindow()) << "the window stays while sockets are registered";

    SendDatagram(c->LocalPort());
    SendDatagram(b->LocalPort());
    EXPECT_TRUE(
        EventLoop::RunUntil([&] { return third == 1 && second == 1; }, std::chrono::seconds(20)));
    EXPECT_EQ(0, first);
}

TEST_F(RouterTest, OtherMessagesReachTheStaticWindowsOwnProcedure) {
    int arrivals = 0;
    auto socket = BoundUdpSocket(&arrivals);
    HWND window = RuntimeWindow();
    ASSERT_TRUE(IsWindow(window));
    // The static control answers WM_GETTEXT and WM_SETTEXT itself, behind the router.
    EXPECT_EQ("SOCKET_WINDOW", WindowText(window));
    ASSERT_TRUE(SetWindowTextA(window, "renamed"));
    EXPECT_EQ("renamed", WindowText(window));

    // A notification for a socket nobody routes is dropped, quietly.
    const int errorsBefore = modNetSocket::RoutedErrorCount();
    PostMessageA(window, sys::kSocketEventMessage, 999999, sys::FD_READ);
    PostMessageA(window, sys::kResolveDoneMessage, 424242, 0);
    EventLoop::RunUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(errorsBefore, modNetSocket::RoutedErrorCount());
    EXPECT_EQ(0, arrivals);
}

TEST_F(RouterTest, TheWindowGoesWithTheLastSocketAndANewOneComesWithTheNext) {
    int arrivals = 0;
    auto socket = BoundUdpSocket(&arrivals);
    HWND first = RuntimeWindow();
    ASSERT_TRUE(IsWindow(first));
    socket->CloseSck();
    EXPECT_EQ(0, modNetSocket::WindowHandle());
    EXPECT_FALSE(IsWindow(first));

    auto again = BoundUdpSocket(&arrivals);
    ASSERT_TRUE(IsWindow(RuntimeWindow()));
    EXPECT_EQ(1, modNetSocket::SocketRouteCount()) << "routes start from an empty table";
    SendDatagram(again->LocalPort());
    EXPECT_TRUE(EventLoop::RunUntil([&] { return arrivals == 1; }, std::chrono::seconds(20)));
}

TEST_F(RouterTest, DetachingPutsBackTheProcedureAndRoutesNothingMore) {
    ASSERT_EQ(0, modNetSocket::WindowHandle()) << "no socket registered";
    HWND window = reinterpret_cast<HWND>(sys::CreateNotificationWindow());
    ASSERT_NE(nullptr, window);
    const LONG_PTR original = GetWindowLongPtrA(window, GWLP_WNDPROC);

    EXPECT_TRUE(modNetSocket::AttachRouter(reinterpret_cast<sys::WindowHandle>(window)));
    EXPECT_NE(original, GetWindowLongPtrA(window, GWLP_WNDPROC));
    EXPECT_FALSE(modNetSocket::AttachRouter(reinterpret_cast<sys::WindowHandle>(window)))
        << "one window at a time";
    EXPECT_EQ("SOCKET_WINDOW", WindowText(window));

    EXPECT_TRUE(modNetSocket::DetachRouter());
    EXPECT_EQ(original, GetWindowLongPtrA(window, GWLP_WNDPROC));
    EXPECT_FALSE(modNetSocket::DetachRouter());
    EXPECT_EQ(0, modNetSocket::SocketRouteCount());
    EXPECT_TRUE(sys::DestroyNotificationWindow(reinterpret_cast<sys::WindowHandle>(window)));
}

}  // namespace
}  // namespace zonbode::net
