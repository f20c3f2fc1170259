// Connecting: by address and by name, failed lookups and connects, cancelling a lookup, and
// the reuse of host and port after CloseSck.

#include <thread>

#include "net/CNetSocketTestSupport.h"
#include "net/MessageBoxHook.h"

namespace zonbode::net::testing {
namespace {

class CNetSocketConnect : public SocketTest {};

TEST_F(CNetSocketConnect, ByDottedAddressGoesStraightToConnectingAndThenConnected) {
    PeerSocket listener = ListeningPeer();
    auto socket = LoggedSocket();
    socket->Connect(Variant("127.0.0.1"), Variant(listener.Port()));
    EXPECT_EQ(socket->State(), sckConnecting);
    EXPECT_NE(socket->SocketHandle(), -1);

    ASSERT_TRUE(RunUntil([&] { return !log.entries.empty(); }));
    EXPECT_EQ(log.entries, std::vector<std::string>{"Connect"});
    EXPECT_EQ(socket->State(), sckConnected);
    EXPECT_EQ(socket->RemoteHostIP(), "127.0.0.1");
    EXPECT_EQ(socket->RemotePort(), listener.Port());
    EXPECT_EQ(socket->RemoteHost(), "127.0.0.1");

    // The peer really sees the connection.
    PeerSocket peer = AcceptPeer(listener);
    ASSERT_TRUE(peer.Valid());
    EXPECT_EQ(PortOf(socket->SocketHandle()), [&] {
        sys::SockAddrIn name;
        sys::GetPeerName(peer.Handle(), &name);
        return static_cast<int>(sys::NetToHostShort(name.port));
    }());
}

TEST_F(CNetSocketConnect, ByNameResolvesFirst) {
    PeerSocket listener = ListeningPeer();
    auto socket = LoggedSocket();
    socket->Connect(Variant("localhost"), Variant(listener.Port()));
    EXPECT_EQ(socket->State(), sckResolvingHost);
    ASSERT_TRUE(RunUntil([&] { return !log.entries.empty(); }));
    EXPECT_EQ(log.entries, std::vector<std::string>{"Connect"});
    EXPECT_EQ(socket->State(), sckConnected);
    EXPECT_EQ(socket->RemoteHost(), "localhost");
    EXPECT_EQ(socket->RemoteHostIP(), "127.0.0.1");
}

TEST_F(CNetSocketConnect, NameThatDoesNotResolveGivesOneHostNotFoundError) {
    auto socket = LoggedSocket();
    socket->Connect(Variant("nosuchhost.invalid"), Variant(80));
    EXPECT_EQ(socket->State(), sckResolvingHost);
    ASSERT_TRUE(RunUntil([&] { return !log.entries.empty(); }));
    RunFor(std::chrono::milliseconds(200));
    ASSERT_EQ(log.entries, std::vector<std::string>{"Error 11001"});
    const ErrorEventArgs& error = log.errors.front();
    EXPECT_EQ(error.Description, "Host not found.");
    EXPECT_EQ(error.source, "CNetSocket.ConnectToIP");
    EXPECT_EQ(error.sCode, 0);
    EXPECT_EQ(error.HelpFile, "");
    EXPECT_EQ(error.HelpContext, 0);
    EXPECT_TRUE(error.CancelDisplay);
    EXPECT_EQ(socket->State(), sckError);

    // Only CloseSck leaves the error state; then the object can connect again.
    EXPECT_EQ(Raised([&] { socket->Connect(); }).Number(), 40020);
    socket->CloseSck();
    EXPECT_EQ(socket->State(), sckClosed);
}

TEST_F(CNetSocketConnect, CloseSckWhileResolvingCancelsTheLookupSilently) {
    PeerSocket listener = ListeningPeer();
    auto socket = LoggedSocket();
    socket->Connect(Variant("localhost"), Variant(listener.Port()));
    ASSERT_EQ(socket->State(), sckResolvingHost);
    socket->CloseSck();
    EXPECT_EQ(socket->State(), sckClosed);
    EXPECT_EQ(socket->SocketHandle(), -1);
    RunFor(std::chrono::milliseconds(500));
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(socket->State(), sckClosed);

    // A second lookup of the same object works normally afterwards.
    socket->Connect();
    ASSERT_TRUE(RunUntil([&] { return !log.entries.empty(); }));
    EXPECT_EQ(log.entries, std::vector<std::string>{"Connect"});
}

TEST_F(CNetSocketConnect, ALookupThatCannotStartIsAnErrorEvent) {
    // Every lookup the backend keeps pending at once is taken, none of them handled yet.
    std::vector<std::shared_ptr<CNetSocket>> resolving;
    for (int i = 0; i < sys::kMaxPendingLookups; ++i) {
        resolving.push_back(CNetSocket::Create());
        resolving.back()->Connect(Variant("localhost"), Variant(80));
        ASSERT_EQ(resolving.back()->State(), sckResolvingHost) << i;
    }
    auto socket = LoggedSocket();
    socket->Connect(Variant("localhost"), Variant(80));
    ASSERT_EQ(log.entries, std::vector<std::string>{"Error 10055"});
    EXPECT_EQ(log.errors[0].source, "CNetSocket.ResolveIfHostname");
    EXPECT_EQ(log.errors[0].Description, "No buffer space available.");
    EXPECT_EQ(socket->State(), sckError);

    resolving.clear();  // their lookups are cancelled
    socket->CloseSck();
    socket->Connect();
    EXPECT_EQ(socket->State(), sckResolvingHost);
}

TEST_F(CNetSocketConnect, DestroyingAnObjectWhileResolvingIsSafe) {
    auto socket = CNetSocket::Create();
    socket->Connect(Variant("localhost"), Variant(UnusedPort()));
    ASSERT_EQ(socket->State(), sckResolvingHost);
    socket.reset();
    // The lookup's completion, if the resolver still posts it, must reach nobody.
    RunFor(std::chrono::milliseconds(500));
    auto other = CNetSocket::Create();
    EXPECT_EQ(other->State(), sckClosed);
}

TEST_F(CNetSocketConnect, AConnectRefusedAtOnceWith10049IsRaisedInConnecting) {
    // A stored port of 0 goes to connect unchecked; no remote computer has that port.
    auto socket = LoggedSocket();
    socket->SetRemoteHost("127.0.0.1");
    socket->SetRemotePort(0);
    auto error = Raised([&] { socket->Connect(); });
    EXPECT_EQ(error.Number(), 10049);
    EXPECT_EQ(error.Source(), "CNetSocket.ConnectToIP");
    EXPECT_EQ(error.Description(), "Cannot assign requested address.");
    EXPECT_EQ(socket->State(), sckConnecting);
    RunFor(std::chrono::milliseconds(100));
    EXPECT_TRUE(log.entries.empty());
}

TEST_F(CNetSocketConnect, ACloseNoticeWhileConnectingIsIgnored) {
    PeerSocket listener = ListeningPeer();
    auto socket = LoggedSocket();
    socket->Connect(Variant("127.0.0.1"), Variant(listener.Port()));
    ASSERT_EQ(socket->State(), sckConnecting);
    modNetSocket::RouteNow(sys::kSocketEventMessage, socket->SocketHandle(), sys::FD_CLOSE);
    EXPECT_EQ(socket->State(), sckConnecting);
    EXPECT_TRUE(log.entries.empty());
    ASSERT_TRUE(RunUntil([&] { return !log.entries.empty(); }));
    EXPECT_EQ(log.entries, std::vector<std::string>{"Connect"});
}

TEST_F(CNetSocketConnect, RefusedConnectGivesOneErrorAndNoConnect) {
    auto socket = LoggedSocket();
    socket->Connect(Variant("127.0.0.1"), Variant(UnusedPort()));
    ASSERT_TRUE(RunUntil([&] { return !log.entries.empty(); }));
    RunFor(std::chrono::milliseconds(200));
    ASSERT_EQ(log.entries, std::vector<std::string>{"Error 10061"});
    EXPECT_EQ(log.errors.front().source, "CNetSocket.PostSocket");
    EXPECT_EQ(log.errors.front().Description, "Connection refused.");
    EXPECT_EQ(socket->State(), sckError);
}

TEST_F(CNetSocketConnect, ErrorBoxAppearsOnlyWhenAHandlerClearsCancelDisplay) {
    std::vector<std::pair<std::string, std::string>> boxes;
    SetMessageBoxHook([&](const std::string& text, const std::string& title) {
        boxes.emplace_back(text, title);
    });

    auto quiet = CNetSocket::Create();
    quiet->Events.Error = [](ErrorEventArgs& args) { args.Description = "changed"; };
    quiet->Connect(Variant("127.0.0.1"), Variant(UnusedPort()));
    ASSERT_TRUE(RunUntil([&] { return quiet->State() == sckError; }));
    EXPECT_TRUE(boxes.empty());

    auto loud = CNetSocket::Create();
    loud->Events.Error = [](ErrorEventArgs& args) {
        args.Description = "a handler's own text";
        args.CancelDisplay = false;
    };
    loud->Connect(Variant("127.0.0.1"), Variant(UnusedPort()));
    ASSERT_TRUE(RunUntil([&] { return loud->State() == sckError; }));
    SetMessageBoxHook(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "Connection refused.");
    EXPECT_EQ(boxes[0].second, "CNetSocket.PostSocket");
}

TEST_F(CNetSocketConnect, WithoutAHookTheErrorBoxGoesToStandardError) {
    auto socket = CNetSocket::Create();
    socket->Events.Error = [](ErrorEventArgs& args) { args.CancelDisplay = false; };
    ::testing::internal::CaptureStderr();
    socket->Connect(Variant("127.0.0.1"), Variant(UnusedPort()));
    const bool failed = RunUntil([&] { return socket->State() == sckError; });
    const std::string output = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(failed);
    EXPECT_NE(output.find("CNetSocket.PostSocket: Connection refused."), std::string::npos)
        << output;
}

TEST_F(CNetSocketConnect, CancelledLookupsAreForgottenAndTouchNoLaterLookup) {
    PeerSocket listener = ListeningPeer();
    auto cancelled = CNetSocket::Create();
    cancelled->Connect(Variant("localhost"), Variant(listener.Port()));
    cancelled->CloseSck();
    auto later = CNetSocket::Create();
    later->Connect(Variant("localhost"), Variant(listener.Port()));
    ASSERT_EQ(later->State(), sckResolvingHost);
    // Destroying the first object cancels nothing more: its lookup was already cancelled.
    cancelled.reset();
    ASSERT_TRUE(RunUntil([&] { return later->State() == sckConnected; }));
}

TEST_F(CNetSocketConnect, ConnectWithoutArgumentsReusesHostAndPortAfterCloseSck) {
    PeerSocket listener = ListeningPeer();
    auto socket = CNetSocket::Create();
    socket->Connect(Variant("127.0.0.1"), Variant(listener.Port()));
    ASSERT_TRUE(RunUntil([&] { return socket->State() == sckConnected; }));
    PeerSocket first = AcceptPeer(listener);

    socket->CloseSck();
    EXPECT_EQ(socket->State(), sckClosed);
    EXPECT_EQ(socket->RemoteHost(), "127.0.0.1");
    EXPECT_EQ(socket->RemotePort(), listener.Port());
    EXPECT_EQ(socket->RemoteHostIP(), "");
    EXPECT_EQ(first.RecvUntilClosed(), "");  // the peer sees the close

    socket->Connect();
    ASSERT_TRUE(RunUntil([&] { return socket->State() == sckConnected; }));
    PeerSocket second = AcceptPeer(listener);
    EXPECT_TRUE(second.Valid());
}

TEST_F(CNetSocketConnect, ConnectOnAnOpenObjectIsRefused) {
    PeerSocket peer;
    auto socket = ConnectedPair(peer);
    auto error = Raised([&] { socket->Connect(); });
    EXPECT_EQ(error.Number(), 40020);
    EXPECT_EQ(error.Source(), "CNetSocket.Connect");
    EXPECT_EQ(socket->State(), sckConnected);
}

TEST_F(CNetSocketConnect, ImplicitBindReportsTheLocalAddressButListensEverywhere) {
    // A datagram object bound by its first send receives on every local address, while
    // LocalIP reports the host name's address.
    PeerSocket peer = DatagramPeer();
    auto socket = CNetSocket::Create();
    socket->SetProtocol(sckProtocolUdp);
    socket->SetRemoteHost("127.0.0.1");
    socket->SetRemotePort(peer.Port());
    socket->SendData(Variant("hello"));
    ASSERT_EQ(socket->State(), sckOpen);
    const std::string expectedIP = CNetSocket::Create()->LocalIP();
    EXPECT_EQ(socket->LocalIP(), expectedIP);

    std::string received;
    socket->Events.DataArrival = [&](std::int32_t) {
        Variant data(std::string{});
        socket->GetData(data);
        received = data.AsString();
    };
    const std::string reply = "on another loopback address";
    sys::SendTo(peer.Handle(), reply.data(), static_cast<int>(reply.size()), 0,
                Endpoint(sys::InetAddr("127.0.0.2"), socket->LocalPort()));
    ASSERT_TRUE(RunUntil([&] { return !received.empty(); }));
    EXPECT_EQ(received, reply);
}

TEST_F(CNetSocketConnect, ExplicitBindWithoutAddressUsesTheLocalAddress) {
    auto socket = CNetSocket::Create();
    socket->SetProtocol(sckProtocolUdp);
    socket->Bind(Variant(0));
    ASSERT_EQ(socket->State(), sckOpen);
    sys::SockAddrIn name;
    ASSERT_EQ(sys::GetSockName(socket->SocketHandle(), &name), 0);
    EXPECT_EQ(sys::InetNtoa(name.addr), socket->LocalIP());
    EXPECT_NE(sys::InetNtoa(name.addr), "0.0.0.0");
}

}  // namespace
}  // namespace zonbode::net::testing
