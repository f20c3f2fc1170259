// Datagrams both ways: one datagram per SendData, reads straight from the socket with the
// sender recorded, maxLen and datagrams longer than the read.

#include "net/CNetSocketTestSupport.h"

namespace zonbode::net::testing {
namespace {

class CNetSocketUdp : public SocketTest {
protected:
    std::shared_ptr<CNetSocket> BoundUdp() {
        auto socket = CNetSocket::Create();
        socket->SetProtocol(sckProtocolUdp);
        socket->Bind(Variant(0), Variant("127.0.0.1"));
        EXPECT_EQ(socket->State(), sckOpen);
        return socket;
    }

    // A logged datagram object that sends to `peer`; bound by its first send.
    std::shared_ptr<CNetSocket> LoggedDatagramsTo(const PeerSocket& peer) {
        auto socket = LoggedSocket();
        socket->SetProtocol(sckProtocolUdp);
        socket->SetRemoteHost("127.0.0.1");
        socket->SetRemotePort(peer.Port());
        return socket;
    }

    static void SendDatagram(const PeerSocket& from, int port, const std::string& bytes) {
        ASSERT_EQ(sys::SendTo(from.Handle(), bytes.data(), static_cast<int>(bytes.size()), 0,
                              Endpoint(Loopback(), port)),
                  static_cast<int>(bytes.size()));
    }

    static std::string ReceiveDatagram(const PeerSocket& at) {
        char buffer[70000];
        sys::SockAddrIn from;
        const int n = sys::RecvFrom(at.Handle(), buffer, sizeof buffer, 0, &from);
        return n < 0 ? std::string("<failed>") : std::string(buffer, static_cast<std::size_t>(n));
    }
};

TEST_F(CNetSocketUdp, FirstSendBindsAndEachSendIsOneDatagram) {
    PeerSocket peer = DatagramPeer();
    auto socket = LoggedDatagramsTo(peer);
    socket->SendData(Variant("one"));
    EXPECT_EQ(socket->State(), sckOpen);
    socket->SendData(Variant(std::int32_t{2}));
    EXPECT_EQ(ReceiveDatagram(peer), "one");
    EXPECT_EQ(ReceiveDatagram(peer), std::string("\x02\x00\x00\x00", 4));
    EXPECT_TRUE(log.entries.empty());  // no progress or completion for datagrams
}

TEST_F(CNetSocketUdp, ConnectOnlyBindsAndNamesTheDestination) {
    PeerSocket peer = DatagramPeer();
    auto socket = CNetSocket::Create();
    socket->SetProtocol(sckProtocolUdp);
    socket->Connect(Variant("localhost"), Variant(peer.Port()));
    EXPECT_EQ(socket->State(), sckOpen);
    socket->SendData(Variant("via name"));
    EXPECT_EQ(ReceiveDatagram(peer), "via name");
}

TEST_F(CNetSocketUdp, ReceivedDatagramRecordsItsSender) {
    PeerSocket peer = DatagramPeer();
    auto socket = BoundUdp();
    std::vector<std::string> got;
    socket->Events.DataArrival = [&](std::int32_t total) {
        EXPECT_EQ(total, socket->BytesReceived());
        Variant data(std::string{});
        socket->GetData(data);
        got.push_back(data.AsString());
    };
    SendDatagram(peer, socket->LocalPort(), "first");
    SendDatagram(peer, socket->LocalPort(), "second");
    SendDatagram(peer, socket->LocalPort(), "third");
    ASSERT_TRUE(RunUntil([&] { return got.size() == 3; }));
    EXPECT_EQ(got, (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(socket->RemoteHostIP(), "127.0.0.1");
    EXPECT_EQ(socket->RemotePort(), peer.Port());
    EXPECT_EQ(socket->RemoteHost(), "");
}

TEST_F(CNetSocketUdp, EachDataArrivalAnnouncesOneQueuedDatagramOfItsOwnSize) {
    PeerSocket peer = DatagramPeer();
    auto socket = BoundUdp();
    std::vector<std::pair<std::int32_t, std::string>> got;
    socket->Events.DataArrival = [&](std::int32_t total) {
        EXPECT_EQ(total, socket->BytesReceived());
        Variant data(std::string{});
        Variant maxLen(10);
        socket->GetData(data, std::nullopt, &maxLen);
        got.emplace_back(total, data.AsString());
    };
    // Both are queued before the first notification is handled.
    SendDatagram(peer, socket->LocalPort(), "abc");
    SendDatagram(peer, socket->LocalPort(), "de");
    ASSERT_TRUE(RunUntil([&] { return got.size() == 2; }));
    RunFor(std::chrono::milliseconds(100));
    EXPECT_EQ(got, (std::vector<std::pair<std::int32_t, std::string>>{{3, "abc"}, {2, "de"}}));
}

TEST_F(CNetSocketUdp, DatagramTheHandlerDidNotReadIsDropped) {
    PeerSocket peer = DatagramPeer();
    auto socket = BoundUdp();
    std::vector<std::int32_t> sizes;
    bool readNext = false;
    std::string got;
    socket->Events.DataArrival = [&](std::int32_t total) {
        sizes.push_back(total);
        if (readNext) {
            Variant data(std::string{});
            socket->GetData(data);
            got = data.AsString();
        }
    };
    SendDatagram(peer, socket->LocalPort(), "ignored");
    ASSERT_TRUE(RunUntil([&] { return sizes.size() == 1; }));
    RunFor(std::chrono::milliseconds(100));
    EXPECT_EQ(sizes, std::vector<std::int32_t>{7});
    readNext = true;
    SendDatagram(peer, socket->LocalPort(), "read");
    ASSERT_TRUE(RunUntil([&] { return !got.empty(); }));
    EXPECT_EQ(got, "read");
}

TEST_F(CNetSocketUdp, MaxLenShorterThanTheDatagramGivesItsStartThenMessageTooLong) {
    PeerSocket peer = DatagramPeer();
    auto socket = BoundUdp();
    std::vector<RaisedError> errors;
    std::vector<std::string> got;
    socket->Events.DataArrival = [&](std::int32_t) {
        Variant data(std::string{});
        Variant maxLen(4);
        try {
            socket->GetData(data, std::nullopt, &maxLen);
        } catch (const RaisedError& error) {
            errors.push_back(error);
        }
        got.push_back(data.AsString());
    };
    SendDatagram(peer, socket->LocalPort(), "0123456789");
    SendDatagram(peer, socket->LocalPort(), "abc");
    ASSERT_TRUE(RunUntil([&] { return got.size() == 2; }));
    EXPECT_EQ(got[0], "0123");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].Number(), 10040);
    EXPECT_EQ(errors[0].Source(), "CNetSocket.RecvData");
    EXPECT_EQ(errors[0].Description(), "Message too long.");
    EXPECT_EQ(got[1], "abc");
}

TEST_F(CNetSocketUdp, MaxLenZeroDiscardsTheDatagram) {
    PeerSocket peer = DatagramPeer();
    auto socket = BoundUdp();
    int arrivals = 0;
    std::vector<std::int32_t> numbers;
    socket->Events.DataArrival = [&](std::int32_t) {
        ++arrivals;
        Variant data;
        Variant maxLen(0);
        try {
            socket->GetData(data, std::nullopt, &maxLen);
        } catch (const RaisedError& error) {
            numbers.push_back(error.Number());
        }
        EXPECT_TRUE(data.IsEmpty());
    };
    SendDatagram(peer, socket->LocalPort(), "gone");
    ASSERT_TRUE(RunUntil([&] { return arrivals == 1; }));
    RunFor(std::chrono::milliseconds(100));
    EXPECT_EQ(numbers, std::vector<std::int32_t>{10040});
    EXPECT_EQ(socket->BytesReceived(), 0);
}

TEST_F(CNetSocketUdp, PeekLeavesTheDatagramAndFixedSizeReadsTakeTheirSize) {
    PeerSocket peer = DatagramPeer();
    auto socket = BoundUdp();
    Variant peeked(std::string{});
    Variant number;
    socket->Events.DataArrival = [&](std::int32_t) {
        socket->PeekData(peeked);
        socket->GetData(number, static_cast<std::int32_t>(VarType::Integer));
    };
    SendDatagram(peer, socket->LocalPort(), std::string("\x34\x12", 2));
    ASSERT_TRUE(RunUntil([&] { return !number.IsEmpty(); }));
    EXPECT_EQ(peeked.AsString(), "4\x12");
    EXPECT_EQ(number, Variant(std::int16_t{0x1234}));
}

TEST_F(CNetSocketUdp, DestinationProblemsAreRaisedAndNothingStays) {
    auto socket = CNetSocket::Create();
    socket->SetProtocol(sckProtocolUdp);
    auto error = Raised([&] { socket->SendData(Variant("no host")); });
    EXPECT_EQ(error.Number(), 10047);
    EXPECT_EQ(error.Source(), "CNetSocket.SendBufferedDataUDP");
    EXPECT_EQ(error.Description(), "Address family not supported by protocol family.");

    socket->SetRemoteHost("nosuchhost.invalid");
    socket->SetRemotePort(9);
    error = Raised([&] { socket->SendData(Variant("bad host")); });
    EXPECT_EQ(error.Number(), 40014);
    EXPECT_EQ(error.Description(), "Invalid argument");

    // The refused datagrams were not kept: the next good send carries only its own bytes.
    PeerSocket peer = DatagramPeer();
    socket->SetRemoteHost("127.0.0.1");
    socket->SetRemotePort(peer.Port());
    socket->SendData(Variant("good"));
    EXPECT_EQ(ReceiveDatagram(peer), "good");
}

TEST_F(CNetSocketUdp, DatagramLargerThanTheProtocolAllowsIsReportedAndLost) {
    PeerSocket peer = DatagramPeer();
    auto socket = LoggedDatagramsTo(peer);
    socket->SendData(Variant(Variant::Bytes(70000, 0x55)));
    ASSERT_EQ(log.entries, std::vector<std::string>{"Error 10040"});
    EXPECT_EQ(log.errors[0].source, "CNetSocket.SendBufferedDataUDP");
    EXPECT_EQ(socket->State(), sckError);
}

TEST_F(CNetSocketUdp, ReadingInTheWrongStateIsRefused) {
    auto socket = CNetSocket::Create();
    socket->SetProtocol(sckProtocolUdp);
    Variant data;
    EXPECT_EQ(Raised([&] { socket->GetData(data); }).Number(), 40006);
    socket->Bind(Variant(0), Variant("127.0.0.1"));
    socket->GetData(data);  // nothing waiting: returns at once, data unchanged
    EXPECT_TRUE(data.IsEmpty());
}

}  // namespace
}  // namespace zonbode::net::testing
