// The process-wide runtime: the service count, the notification window's lifetime, the
// router's rules and the registries, with real sockets and real socket objects.

#include "net/modNetSocket.h"

#include <memory>
#include <string>

#include "net/CNetSocket.h"
#include "net/RaisedError.h"
#include "net/SocketApiFixture.h"
#include "net/SocketErrors.h"

namespace zonbode::net::testing {
namespace {

constexpr std::uint32_t kPlainMessage = 0x0400;

class RuntimeTest : public SocketApiTest {
protected:
    void SetUp() override {
        SocketApiTest::SetUp();
        ASSERT_FALSE(modNetSocket::SocketCollectionExists()) << "a socket was left registered";
        baseUsers_ = modNetSocket::UserCount();
    }

    void TearDown() override {
        SocketApiTest::TearDown();
        EXPECT_EQ(baseUsers_, modNetSocket::UserCount());
    }

    sys::Handle NewTcpSocket() {
        return Track(sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp));
    }

    static bool AllFree(std::int32_t count, std::int32_t (*handleAt)(std::int32_t)) {
        for (std::int32_t slot = 1; slot <= count; ++slot) {
            if (handleAt(slot) != -1) {
                return false;
            }
        }
        return true;
    }

    static bool Routed(std::int32_t handle) {
        for (std::int32_t slot = 1; slot <= modNetSocket::SocketRouteCount(); ++slot) {
            if (modNetSocket::SocketRouteHandle(slot) == handle) {
                return true;
            }
        }
        return false;
    }

    std::int32_t baseUsers_ = 0;
};

TEST_F(RuntimeTest, ServiceStartsWithTheFirstUserAndStopsWithTheLast) {
    ASSERT_EQ(0, baseUsers_) << "run on its own, the runtime starts idle";
    EXPECT_FALSE(modNetSocket::ServiceStarted());
    for (int i = 1; i <= 50; ++i) {
        EXPECT_EQ(0, modNetSocket::InitiateProcesses());
        EXPECT_EQ(i, modNetSocket::UserCount());
        EXPECT_TRUE(modNetSocket::ServiceStarted());
    }
    for (int i = 49; i >= 0; --i) {
        EXPECT_EQ(0, modNetSocket::FinalizeProcesses());
        EXPECT_EQ(i, modNetSocket::UserCount());
        EXPECT_EQ(i > 0, modNetSocket::ServiceStarted());
    }
    // Without a started service a finalize only lowers the count.
    EXPECT_EQ(0, modNetSocket::FinalizeProcesses());
    EXPECT_EQ(-1, modNetSocket::UserCount());
    EXPECT_FALSE(modNetSocket::ServiceStarted());
    EXPECT_EQ(0, modNetSocket::InitiateProcesses());
    EXPECT_TRUE(modNetSocket::ServiceStarted());
    EXPECT_EQ(0, modNetSocket::InitiateProcesses());
    EXPECT_EQ(0, modNetSocket::FinalizeProcesses());
    EXPECT_EQ(0, modNetSocket::UserCount());
    EXPECT_FALSE(modNetSocket::ServiceStarted());
    EXPECT_EQ(0, modNetSocket::DestroyWinsockMessageWindow()) << "no window: nothing to do";
}

TEST_F(RuntimeTest, WindowExistsExactlyWhileSocketsAreRegistered) {
    modNetSocket::InitiateProcesses();
    sys::Handle a = NewTcpSocket();
    sys::Handle b = NewTcpSocket();
    EXPECT_FALSE(modNetSocket::IsSocketRegistered(a));
    EXPECT_EQ(0, modNetSocket::WindowHandle());

    EXPECT_TRUE(modNetSocket::RegisterSocket(a, nullptr, true));
    sys::WindowHandle first = modNetSocket::WindowHandle();
    EXPECT_NE(0, first);
    EXPECT_TRUE(modNetSocket::RegisterSocket(b, nullptr, true));
    EXPECT_EQ(first, modNetSocket::WindowHandle());
    EXPECT_TRUE(modNetSocket::IsSocketRegistered(a));
    EXPECT_TRUE(modNetSocket::IsSocketRegistered(b));
    EXPECT_EQ(2, modNetSocket::SocketRouteCount());

    modNetSocket::UnregisterSocket(a);
    EXPECT_EQ(first, modNetSocket::WindowHandle());
    EXPECT_FALSE(modNetSocket::IsSocketRegistered(a));
    EXPECT_EQ(2, modNetSocket::SocketRouteCount());
    EXPECT_EQ(-1, modNetSocket::SocketRouteHandle(1));

    modNetSocket::UnregisterSocket(b);
    EXPECT_EQ(0, modNetSocket::WindowHandle());
    EXPECT_FALSE(modNetSocket::SocketCollectionExists());
    EXPECT_EQ(0, modNetSocket::SocketRouteCount()) << "the detached router routes nothing";

    // The next registration makes a new window and routes from an empty table.
    EXPECT_TRUE(modNetSocket::RegisterSocket(b, nullptr, true));
    EXPECT_NE(0, modNetSocket::WindowHandle());
    EXPECT_NE(first, modNetSocket::WindowHandle());
    EXPECT_EQ(1, modNetSocket::SocketRouteCount());
    EXPECT_EQ(b, modNetSocket::SocketRouteHandle(1));
    modNetSocket::UnregisterSocket(b);
    modNetSocket::UnregisterSocket(b);  // unknown by now, and no collection: harmless
    EXPECT_EQ(0, modNetSocket::WindowHandle());
    modNetSocket::FinalizeProcesses();
}

TEST_F(RuntimeTest, RegisteringTwiceRaisesTheCollectionsErrorAndKeepsTheRoute) {
    modNetSocket::InitiateProcesses();
    sys::Handle a = NewTcpSocket();
    modNetSocket::RegisterSocket(a, nullptr, false);
    try {
        modNetSocket::RegisterSocket(a, nullptr, false);
        ADD_FAILURE() << "no error raised";
    } catch (const RaisedError& error) {
        EXPECT_EQ(457, error.Number());
        EXPECT_EQ("modNetSocket.RegisterSocket", error.Source());
    }
    EXPECT_TRUE(Routed(a));
    EXPECT_EQ(1, modNetSocket::SocketRouteCount());
    modNetSocket::UnregisterSocket(a);
    EXPECT_FALSE(modNetSocket::SocketCollectionExists());
    modNetSocket::FinalizeProcesses();
}

TEST_F(RuntimeTest, RegisteringAClosedHandleRaisesTheNetworkError) {
    modNetSocket::InitiateProcesses();
    sys::Handle a = NewTcpSocket();
    Forget(a);
    sys::CloseSocket(a);
    try {
        modNetSocket::RegisterSocket(a, nullptr, true);
        ADD_FAILURE() << "no error raised";
    } catch (const RaisedError& error) {
        EXPECT_EQ(10038, error.Number());
        EXPECT_EQ("modNetSocket.RegisterSocket", error.Source());
        EXPECT_EQ("Socket operation on nonsocket.", error.Description());
    }
    EXPECT_FALSE(modNetSocket::IsSocketRegistered(a));
    modNetSocket::UnregisterSocket(a);
    EXPECT_EQ(0, modNetSocket::WindowHandle());
    modNetSocket::FinalizeProcesses();
}

TEST_F(RuntimeTest, RouterPassesOtherMessagesOnAndDropsUnroutedOnes) {
    modNetSocket::InitiateProcesses();
    // window_ records what its procedure receives; the router goes in front of it.
    EXPECT_TRUE(modNetSocket::AttachRouter(window_));
    sys::WindowHandle other = sys::CreateNotificationWindow();
    EXPECT_FALSE(modNetSocket::AttachRouter(other)) << "one window at a time";

    ASSERT_TRUE(sys::PostNotification(window_, sys::kSocketEventMessage, 777, sys::FD_READ));
    ASSERT_TRUE(sys::PostNotification(window_, sys::kResolveDoneMessage, 555, 0));
    ASSERT_TRUE(sys::PostNotification(window_, kPlainMessage, 11, 22));
    ASSERT_TRUE(WaitFor([] { return !Notes().empty(); }));
    Settle(std::chrono::milliseconds(100));
    ASSERT_EQ(1u, Notes().size());
    EXPECT_EQ(kPlainMessage, Notes()[0].message);
    EXPECT_EQ(11, Notes()[0].wParam);
    EXPECT_EQ(22, Notes()[0].event);

    EXPECT_TRUE(modNetSocket::DetachRouter());
    EXPECT_FALSE(modNetSocket::DetachRouter());
    ASSERT_TRUE(sys::PostNotification(window_, sys::kSocketEventMessage, 777, sys::FD_READ));
    ASSERT_TRUE(WaitFor([] { return Notes().size() == 2; })) << "the old procedure is back";
    sys::DestroyNotificationWindow(other);
    modNetSocket::FinalizeProcesses();
}

TEST_F(RuntimeTest, LookupRouteGoesWhenItsCompletionIsDelivered) {
    modNetSocket::InitiateProcesses();
    sys::Handle a = NewTcpSocket();
    modNetSocket::RegisterSocket(a, nullptr, true);
    auto buffer = std::make_unique<char[]>(sys::kLookupBufferSize);
    std::int32_t lookup = modNetSocket::ResolveHostAsync("localhost", buffer.get(), nullptr);
    ASSERT_NE(0, lookup);
    ASSERT_EQ(1, modNetSocket::ResolutionRouteCount());
    EXPECT_EQ(lookup, modNetSocket::ResolutionRouteHandle(1));

    ASSERT_TRUE(WaitFor([] { return modNetSocket::ResolutionRouteHandle(1) == -1; }));
    EXPECT_EQ(1, modNetSocket::ResolutionRouteCount()) << "the slot stays for reuse";

    // A cancelled lookup's route goes with the cancel.
    std::int32_t second = modNetSocket::ResolveHostAsync("localhost", buffer.get(), nullptr);
    ASSERT_NE(0, second);
    EXPECT_EQ(second, modNetSocket::ResolutionRouteHandle(1));
    sys::CancelAsyncRequest(second);
    modNetSocket::UnregisterResolution(second);
    EXPECT_EQ(-1, modNetSocket::ResolutionRouteHandle(1));

    modNetSocket::UnregisterSocket(a);
    modNetSocket::FinalizeProcesses();
}

TEST_F(RuntimeTest, ParkedConnectionsAreFoundTakenAndReleased) {
    EXPECT_FALSE(modNetSocket::IsAcceptRegistered(1234));
    EXPECT_FALSE(modNetSocket::AcceptCollectionExists());
    try {
        modNetSocket::GetAcceptedObject(1234);
        ADD_FAILURE() << "no error raised";
    } catch (const RaisedError& error) {
        EXPECT_EQ(5, error.Number());
    }
    EXPECT_THROW(modNetSocket::UnregisterAccept(1234), RaisedError);

    sys::SockAddrIn address;
    sys::Handle listener = MakeListener(&address);
    sys::Handle peer = NewTcpSocket();
    ASSERT_EQ(0, sys::Connect(peer, address));
    sys::Handle connection = sys::Accept(listener, nullptr);
    ASSERT_NE(sys::kInvalidSocket, connection);

    modNetSocket::RegisterAccept(connection);
    EXPECT_TRUE(modNetSocket::IsAcceptRegistered(connection));
    EXPECT_TRUE(modNetSocket::IsSocketRegistered(connection));
    EXPECT_TRUE(Routed(connection));
    std::shared_ptr<CNetSocket> holder = modNetSocket::GetAcceptedObject(connection);
    ASSERT_NE(nullptr, holder);
    EXPECT_EQ(sckConnected, holder->State());
    EXPECT_EQ(connection, holder->SocketHandle());

    std::weak_ptr<CNetSocket> watch = holder;
    holder.reset();
    modNetSocket::UnregisterAccept(connection);
    EXPECT_TRUE(watch.expired()) << "the collection held the last reference";
    EXPECT_FALSE(modNetSocket::AcceptCollectionExists());
    EXPECT_FALSE(Routed(connection)) << "no route leads to the released holder";

    // A holder leaves its handle open; refusing the connection is the caller's part.
    ASSERT_EQ(0, sys::CloseSocket(connection));
    modNetSocket::UnregisterSocket(connection);
    EXPECT_EQ(0, modNetSocket::WindowHandle());
}

TEST_F(RuntimeTest, NotificationsReachTheOwningObjectAndItsRoutesGoWithIt) {
    sys::SockAddrIn address;
    sys::Handle listener = MakeListener(&address);
    std::int32_t port = sys::NetToHostShort(address.port);

    auto client = CNetSocket::Create();
    int connects = 0;
    client->Events.Connect = [&] { ++connects; };
    client->Connect(Variant(std::string("localhost")), Variant(port));
    EXPECT_EQ(sckResolvingHost, client->State());
    EXPECT_EQ(1, modNetSocket::UserCount() - baseUsers_);
    ASSERT_GE(modNetSocket::ResolutionRouteCount(), 1);

    ASSERT_TRUE(WaitFor([&] { return connects == 1; }));
    EXPECT_EQ(sckConnected, client->State());
    EXPECT_TRUE(
        AllFree(modNetSocket::ResolutionRouteCount(), &modNetSocket::ResolutionRouteHandle));
    sys::Handle handle = client->SocketHandle();
    EXPECT_TRUE(Routed(handle));
    EXPECT_NE(0, modNetSocket::WindowHandle());

    client.reset();
    EXPECT_FALSE(Routed(handle));
    EXPECT_FALSE(modNetSocket::IsSocketRegistered(handle));
    EXPECT_EQ(0, modNetSocket::WindowHandle());
    EXPECT_FALSE(modNetSocket::ServiceStarted() && baseUsers_ == 0);
    (void)listener;
}

TEST_F(RuntimeTest, DestroyingAnObjectRemovesEveryRouteThatNamesIt) {
    modNetSocket::InitiateProcesses();
    sys::Handle borrowed = NewTcpSocket();
    auto object = CNetSocket::Create();
    // A route to the object for a handle it does not own (as a refused Accept leaves).
    modNetSocket::RegisterSocket(borrowed, object, false);
    EXPECT_TRUE(Routed(borrowed));
    object.reset();
    EXPECT_FALSE(Routed(borrowed));
    EXPECT_TRUE(modNetSocket::IsSocketRegistered(borrowed));
    modNetSocket::UnregisterSocket(borrowed);
    modNetSocket::FinalizeProcesses();
}

TEST_F(RuntimeTest, CancelledLookupOfADestroyedObjectNeverArrives) {
    sys::SockAddrIn address;
    MakeListener(&address);
    auto keeper = CNetSocket::Create();  // keeps the window alive meanwhile
    keeper->Connect(Variant(std::string("127.0.0.1")),
                    Variant(static_cast<std::int32_t>(sys::NetToHostShort(address.port))));
    auto object = CNetSocket::Create();
    int events = 0;
    object->Events.Connect = [&] { ++events; };
    object->Events.Error = [&](ErrorEventArgs&) { ++events; };
    object->Connect(Variant(std::string("localhost")),
                    Variant(static_cast<std::int32_t>(sys::NetToHostShort(address.port))));
    ASSERT_EQ(sckResolvingHost, object->State());
    const std::int32_t errorsBefore = modNetSocket::RoutedErrorCount();
    object.reset();
    EXPECT_TRUE(
        AllFree(modNetSocket::ResolutionRouteCount(), &modNetSocket::ResolutionRouteHandle));
    Settle();
    EXPECT_EQ(0, events);
    EXPECT_EQ(errorsBefore, modNetSocket::RoutedErrorCount());
    keeper.reset();
    EXPECT_EQ(0, modNetSocket::WindowHandle());
}

TEST_F(RuntimeTest, AnErrorLeavingAnObjectEndsOnlyThatMessage) {
    auto server = CNetSocket::Create();
    int requests = 0;
    server->Events.ConnectionRequest = [&](std::int32_t) { ++requests; };
    server->Listen();
    ASSERT_EQ(sckListening, server->State());

    // An FD_ACCEPT with no connection waiting: the object's accept fails and raises.
    std::int32_t errorsBefore = modNetSocket::RoutedErrorCount();
    ASSERT_TRUE(sys::PostNotification(modNetSocket::WindowHandle(), sys::kSocketEventMessage,
                                      server->SocketHandle(), sys::FD_ACCEPT));
    ASSERT_TRUE(sys::PostNotification(window_, kPlainMessage, 1, 0));
    ::testing::internal::CaptureStderr();
    const bool goesOn = WaitFor([] { return !Notes().empty(); });
    const std::string written = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(goesOn) << "the loop goes on";
    EXPECT_EQ(errorsBefore + 1, modNetSocket::RoutedErrorCount());
    EXPECT_NE(std::string::npos, modNetSocket::LastRoutedError().find("CNetSocket.PostSocket"));
    EXPECT_NE(std::string::npos,
              written.find("CNetSocket.PostSocket: " + NetworkErrorText(kWsaEWouldBlock)))
        << "not lost: " << written;
    EXPECT_EQ(sckListening, server->State());
    EXPECT_EQ(0, requests);
    server.reset();
    EXPECT_EQ(0, modNetSocket::WindowHandle());
}

}  // namespace
}  // namespace zonbode::net::testing
