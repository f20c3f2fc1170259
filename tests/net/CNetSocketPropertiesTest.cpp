// Properties, their write rules and the argument checks of the methods.

#include "net/CNetSocketTestSupport.h"
#include "net/RaisedError.h"

namespace zonbode::net::testing {
namespace {

class CNetSocketProperties : public SocketTest {};

TEST_F(CNetSocketProperties, NewObjectStartsClosedWithNoHandle) {
    auto socket = CNetSocket::Create();
    EXPECT_EQ(socket->State(), sckClosed);
    EXPECT_EQ(socket->SocketHandle(), -1);
    EXPECT_EQ(socket->Protocol(), sckProtocolTcp);
    EXPECT_EQ(socket->LocalPort(), 0);
    EXPECT_EQ(socket->RemotePort(), 0);
    EXPECT_EQ(socket->BytesReceived(), 0);
    EXPECT_EQ(socket->RemoteHost(), "");
    EXPECT_EQ(socket->RemoteHostIP(), "");
    EXPECT_EQ(socket->Tag(), "");
    EXPECT_FALSE(socket->LocalHostName().empty());
}

TEST_F(CNetSocketProperties, PortWritesAcceptTheFullRangeAndRefuseTheRest) {
    auto socket = CNetSocket::Create();
    socket->SetRemotePort(65535);
    EXPECT_EQ(socket->RemotePort(), 65535);
    socket->SetRemotePort(0);
    EXPECT_EQ(socket->RemotePort(), 0);
    for (std::int32_t bad : {-1, 65536}) {
        auto error = Raised([&] { socket->SetRemotePort(bad); });
        EXPECT_EQ(error.Number(), 40014);
        EXPECT_EQ(error.Source(), "CNetSocket.RemotePort");
        EXPECT_EQ(error.Description(), kOutOfRange);
        EXPECT_EQ(socket->RemotePort(), 0);

        error = Raised([&] { socket->SetLocalPort(bad); });
        EXPECT_EQ(error.Number(), 40014);
        EXPECT_EQ(error.Source(), "CNetSocket.LocalPort");
    }
    socket->SetLocalPort(65535);
    EXPECT_EQ(socket->LocalPort(), 65535);
}

TEST_F(CNetSocketProperties, ProtocolTakesOnlyTcpOrUdp) {
    auto socket = CNetSocket::Create();
    socket->SetProtocol(sckProtocolUdp);
    EXPECT_EQ(socket->Protocol(), sckProtocolUdp);
    for (std::int32_t bad : {2, -1, 17}) {
        auto error = Raised([&] { socket->SetProtocol(bad); });
        EXPECT_EQ(error.Number(), 40014) << bad;
        EXPECT_EQ(error.Source(), "CNetSocket.Protocol");
        EXPECT_EQ(socket->Protocol(), sckProtocolUdp);
    }
}

TEST_F(CNetSocketProperties, ConnectedTcpObjectRefusesRemoteAndLocalWrites) {
    PeerSocket peer;
    auto socket = ConnectedPair(peer);
    ASSERT_EQ(socket->State(), sckConnected);
    const std::string host = socket->RemoteHost();
    const std::int32_t port = socket->RemotePort();

    auto error = Raised([&] { socket->SetRemoteHost("example.org"); });
    EXPECT_EQ(error.Number(), 40020);
    EXPECT_EQ(error.Source(), "CNetSocket.RemoteHost");
    EXPECT_EQ(error.Description(), "Invalid operation at current state");
    EXPECT_EQ(socket->RemoteHost(), host);

    error = Raised([&] { socket->SetRemotePort(1); });
    EXPECT_EQ(error.Number(), 40020);
    EXPECT_EQ(socket->RemotePort(), port);

    EXPECT_EQ(Raised([&] { socket->SetLocalPort(1); }).Number(), 40020);
    EXPECT_EQ(Raised([&] { socket->SetProtocol(sckProtocolUdp); }).Number(), 40020);
    EXPECT_EQ(socket->Protocol(), sckProtocolTcp);

    socket->SetTag("any state");
    EXPECT_EQ(socket->Tag(), "any state");
}

TEST_F(CNetSocketProperties, OpenUdpObjectAcceptsNewDestinationButNotLocalChanges) {
    auto socket = CNetSocket::Create();
    socket->SetProtocol(sckProtocolUdp);
    socket->Bind(Variant(0), Variant("127.0.0.1"));
    ASSERT_EQ(socket->State(), sckOpen);
    socket->SetRemoteHost("127.0.0.1");
    socket->SetRemotePort(9);
    EXPECT_EQ(socket->RemoteHost(), "127.0.0.1");
    EXPECT_EQ(socket->RemotePort(), 9);
    EXPECT_EQ(Raised([&] { socket->SetLocalPort(1); }).Number(), 40020);
    EXPECT_EQ(Raised([&] { socket->SetProtocol(sckProtocolTcp); }).Number(), 40020);
}

TEST_F(CNetSocketProperties, BindWithPortZeroReportsTheChosenPortAndAddress) {
    auto socket = CNetSocket::Create();
    socket->SetProtocol(sckProtocolUdp);
    socket->Bind(Variant(0), Variant("127.0.0.1"));
    EXPECT_EQ(socket->State(), sckOpen);
    EXPECT_GT(socket->LocalPort(), 0);
    EXPECT_EQ(socket->LocalPort(), PortOf(socket->SocketHandle()));
    EXPECT_EQ(socket->LocalIP(), "127.0.0.1");

    // CloseSck forgets the chosen port but keeps the requested one (0).
    socket->CloseSck();
    EXPECT_EQ(socket->State(), sckClosed);
    EXPECT_EQ(socket->LocalPort(), 0);
    EXPECT_EQ(socket->SocketHandle(), -1);
}

TEST_F(CNetSocketProperties, BindArgumentsAreChecked) {
    auto socket = CNetSocket::Create();
    socket->SetProtocol(sckProtocolUdp);
    auto error = Raised([&] { socket->Bind(Variant(65536)); });
    EXPECT_EQ(error.Number(), 40014);
    EXPECT_EQ(error.Source(), "CNetSocket.BindInternal");
    EXPECT_EQ(Raised([&] { socket->Bind(Variant("abc")); }).Number(), 40018);

    error = Raised([&] { socket->Bind(Variant(0), Variant("nosuchhost.invalid")); });
    EXPECT_EQ(error.Number(), 40014);
    EXPECT_EQ(error.Description(), "Invalid argument");
    EXPECT_EQ(socket->State(), sckClosed);

    socket->Bind(Variant(0), Variant("127.0.0.1"));
    error = Raised([&] { socket->Bind(); });
    EXPECT_EQ(error.Number(), 40020);
    EXPECT_EQ(error.Source(), "CNetSocket.Bind");
}

TEST_F(CNetSocketProperties, BindToAPortInUseRaisesTheNetworkCode) {
    PeerSocket taken = DatagramPeer();
    auto socket = CNetSocket::Create();
    socket->SetProtocol(sckProtocolUdp);
    auto error = Raised([&] { socket->Bind(Variant(taken.Port()), Variant("127.0.0.1")); });
    EXPECT_EQ(error.Number(), 10048);
    EXPECT_EQ(error.Source(), "CNetSocket.BindInternal");
    EXPECT_EQ(error.Description(), "Address already in use.");
    EXPECT_NE(socket->State(), sckOpen);
}

TEST_F(CNetSocketProperties, ConnectChecksItsPortBeforeDoingAnything) {
    auto socket = CNetSocket::Create();
    for (std::int32_t bad : {0, 65536, -5}) {
        auto error = Raised([&] { socket->Connect(Variant("127.0.0.1"), Variant(bad)); });
        EXPECT_EQ(error.Number(), 40014) << bad;
        EXPECT_EQ(error.Source(), "CNetSocket.Connect");
        EXPECT_EQ(error.Description(), kOutOfRange);
    }
    auto error = Raised([&] { socket->Connect(Variant("10.1.2.3"), Variant("abc")); });
    EXPECT_EQ(error.Number(), 40018);
    EXPECT_EQ(error.Description(), "Unsupported variant type.");
    // The host given in the same call was stored before the port was refused.
    EXPECT_EQ(socket->RemoteHost(), "10.1.2.3");
    EXPECT_EQ(socket->State(), sckClosed);
    EXPECT_EQ(socket->SocketHandle(), -1);
}

TEST_F(CNetSocketProperties, CloseSckOnAClosedObjectDoesNothing) {
    auto socket = LoggedSocket();
    socket->CloseSck();
    socket->CloseSck();
    EXPECT_EQ(socket->State(), sckClosed);
    EXPECT_TRUE(log.entries.empty());
}

TEST_F(CNetSocketProperties, SendAndReadInTheWrongStateAreRefused) {
    auto socket = CNetSocket::Create();
    auto error = Raised([&] { socket->SendData(Variant("x")); });
    EXPECT_EQ(error.Number(), 40006);
    EXPECT_EQ(error.Source(), "CNetSocket.SendData");
    EXPECT_EQ(error.Description(),
              "Wrong protocol or connection state for the requested transaction or request");
    Variant data;
    EXPECT_EQ(Raised([&] { socket->GetData(data); }).Source(), "CNetSocket.GetData");
    EXPECT_EQ(Raised([&] { socket->PeekData(data); }).Source(), "CNetSocket.PeekData");
}

TEST_F(CNetSocketProperties, AcceptOfSomethingThatIsNoConnectionLeavesNoHandle) {
    auto socket = CNetSocket::Create();
    auto error = Raised([&] { socket->Accept(-5); });
    EXPECT_EQ(error.Number(), 10038);
    EXPECT_EQ(error.Source(), "CNetSocket.ProcessOptions");
    EXPECT_EQ(error.Description(), "Socket operation on nonsocket.");
    EXPECT_EQ(socket->SocketHandle(), -1);
    EXPECT_EQ(socket->State(), sckClosed);
}

TEST_F(CNetSocketProperties, ACloseThatFailsRaisesAndKeepsTheHandle) {
    auto socket = CNetSocket::Create();
    socket->SetProtocol(sckProtocolUdp);
    socket->Bind(Variant(0), Variant("127.0.0.1"));
    const sys::Handle handle = socket->SocketHandle();
    ASSERT_EQ(sys::CloseSocket(handle), 0);  // behind the object's back: its own close fails

    for (int attempt = 1; attempt <= 2; ++attempt) {  // a later CloseSck tries again
        auto error = Raised([&] { socket->CloseSck(); });
        EXPECT_EQ(error.Number(), 10038) << attempt;
        EXPECT_EQ(error.Source(), "CNetSocket.DestroySocket");
        EXPECT_EQ(error.Description(), "Socket operation on nonsocket.");
        EXPECT_EQ(socket->State(), sckError);
        EXPECT_EQ(socket->SocketHandle(), handle);
    }
    socket.reset();
    modNetSocket::UnregisterSocket(handle);  // the registration no failed close could end
}

}  // namespace
}  // namespace zonbode::net::testing
