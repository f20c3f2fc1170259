// A subscription that epoll refuses to watch is reported, not taken for done. The socket's
// descriptor is replaced (behind the backend's back) by /dev/null, which epoll cannot watch.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "net/SocketApi.h"

namespace zonbode::net {
namespace {

TEST(EpollRefusal, ASubscriptionEpollRefusesFailsWithItsCode) {
    ASSERT_EQ(sys::Startup(0x0101), 0);
    const sys::WindowHandle window = sys::CreateNotificationWindow();
    const sys::Handle listener = sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp);
    sys::SockAddrIn address;
    address.addr = sys::InetAddr("127.0.0.1");
    ASSERT_EQ(sys::Bind(listener, address), 0);
    ASSERT_EQ(sys::Listen(listener, 1), 0);
    ASSERT_EQ(sys::GetSockName(listener, &address), 0);
    const sys::Handle client = sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp);
    ASSERT_EQ(sys::Connect(client, address), 0);

    const int devNull = open("/dev/null", O_RDWR);
    ASSERT_EQ(dup2(devNull, client), client);
    close(devNull);
    EXPECT_EQ(sys::AsyncSelect(client, window, sys::kSocketEventMessage, sys::kEventMask),
              sys::kSocketError);
    EXPECT_EQ(sys::LastError(), 10013) << "EPERM, as a Windows Sockets code";

    sys::CloseSocket(client);
    sys::CloseSocket(listener);
    sys::DestroyNotificationWindow(window);
    sys::Cleanup();
}

}  // namespace
}  // namespace zonbode::net
