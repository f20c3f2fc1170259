// Handlers that close the object or drop the last reference to it inside an event, the
// service count over many objects, and routes handed on from closed objects to new ones.

#include "net/CNetSocketTestSupport.h"

namespace zonbode::net::testing {
namespace {

class CNetSocketReentrancy : public SocketTest {};

TEST_F(CNetSocketReentrancy, CloseSckInsideDataArrivalStopsFurtherEvents) {
    PeerSocket peer;
    auto socket = LoggedPair(peer);
    socket->Events.DataArrival = [&](std::int32_t) {
        log.entries.push_back("DataArrival");
        socket->CloseSck();
    };
    ASSERT_TRUE(peer.SendAll(std::string(200000, 'd')));
    ASSERT_TRUE(RunUntil([&] { return log.Has("DataArrival"); }));
    RunFor(std::chrono::milliseconds(300));
    EXPECT_EQ(log.Count("DataArrival"), 1u);
    EXPECT_FALSE(log.Has("CloseSck"));
    EXPECT_EQ(socket->State(), sckClosed);
    EXPECT_EQ(socket->BytesReceived(), 0);
    EXPECT_EQ(peer.RecvUntilClosed(), "");
}

TEST_F(CNetSocketReentrancy, DroppingTheLastReferenceInsideEachEventIsSafe) {
    // Connect, DataArrival and CloseSck each drop the only outside reference.
    for (const std::string event : {"Connect", "DataArrival", "CloseSck"}) {
        PeerSocket listener = ListeningPeer();
        std::shared_ptr<CNetSocket> socket = CNetSocket::Create();
        std::weak_ptr<CNetSocket> watch = socket;
        bool raised = false;
        auto drop = [&] {
            raised = true;
            socket.reset();
        };
        if (event == "Connect") {
            socket->Events.Connect = drop;
        } else if (event == "DataArrival") {
            socket->Events.DataArrival = [&](std::int32_t) { drop(); };
        } else {
            socket->Events.CloseSck = drop;
        }
        socket->Connect(Variant("127.0.0.1"), Variant(listener.Port()));
        PeerSocket peer = AcceptPeer(listener);
        peer.SendAll("x");
        peer.Close();
        ASSERT_TRUE(RunUntil([&] { return raised; })) << event;
        EXPECT_TRUE(watch.expired()) << event;
        RunFor(std::chrono::milliseconds(100));
    }
}

TEST_F(CNetSocketReentrancy, DroppingTheLastReferenceInsideErrorIsSafe) {
    auto socket = CNetSocket::Create();
    std::weak_ptr<CNetSocket> watch = socket;
    bool raised = false;
    socket->Events.Error = [&](ErrorEventArgs& args) {
        raised = true;
        args.CancelDisplay = true;
        socket.reset();
    };
    socket->Connect(Variant("127.0.0.1"), Variant(UnusedPort()));
    ASSERT_TRUE(RunUntil([&] { return raised; }));
    EXPECT_TRUE(watch.expired());
}

TEST_F(CNetSocketReentrancy, SendDataInsideConnectAndSendCompleteChains) {
    PeerSocket listener = ListeningPeer();
    auto socket = CNetSocket::Create();
    int completes = 0;
    socket->Events.Connect = [&] { socket->SendData(Variant("first;")); };
    socket->Events.SendComplete = [&] {
        if (++completes == 1) {
            socket->SendData(Variant("second;"));  // a nested run, buffer empty again
        }
    };
    socket->Connect(Variant("127.0.0.1"), Variant(listener.Port()));
    ASSERT_TRUE(RunUntil([&] { return completes == 2; }));
    PeerSocket peer = AcceptPeer(listener);
    EXPECT_EQ(peer.RecvExactly(13), "first;second;");
}

TEST_F(CNetSocketReentrancy, ManyObjectsShareTheServiceAndEachGetsItsOwnEvents) {
    PeerSocket listener = ListeningPeer();
    constexpr int kCount = 40;
    for (int round = 0; round < 3; ++round) {
        std::vector<std::shared_ptr<CNetSocket>> sockets;
        std::vector<int> connects(kCount, 0);
        for (int i = 0; i < kCount; ++i) {
            auto socket = CNetSocket::Create();
            socket->SetTag(std::to_string(i));
            socket->Events.Connect = [&connects, i] { ++connects[i]; };
            sockets.push_back(socket);
        }
        // Connect in small groups so the peer's queue never overflows.
        std::vector<PeerSocket> accepted;
        for (int i = 0; i < kCount; ++i) {
            sockets[i]->Connect(Variant("127.0.0.1"), Variant(listener.Port()));
            ASSERT_TRUE(RunUntil([&] { return connects[i] == 1; }));
            accepted.push_back(AcceptPeer(listener));
        }
        // Each peer writes its own index; each object must hear exactly its own.
        std::vector<std::string> heard(kCount);
        for (int i = 0; i < kCount; ++i) {
            sockets[i]->Events.DataArrival = [&heard, &sockets, i](std::int32_t) {
                Variant data(std::string{});
                sockets[i]->GetData(data);
                heard[i] += data.AsString();
            };
            ASSERT_TRUE(accepted[i].SendAll("#" + std::to_string(i)));
        }
        ASSERT_TRUE(RunUntil([&] {
            for (int i = 0; i < kCount; ++i) {
                if (heard[i] != "#" + std::to_string(i)) {
                    return false;
                }
            }
            return true;
        }));
        for (int i = 0; i < kCount; ++i) {
            EXPECT_EQ(connects[i], 1);
        }
        // Destroying in a scattered order leaves the service working for the next round.
        for (int i = 0; i < kCount; i += 2) {
            sockets[i].reset();
        }
        sockets.clear();
    }
}

TEST_F(CNetSocketReentrancy, ReusedRouteSlotsLeadOnlyToTheCurrentOwner) {
    PeerSocket listener = ListeningPeer();
    auto first = CNetSocket::Create();
    auto second = CNetSocket::Create();
    EventLog firstLog;
    EventLog secondLog;
    firstLog.Attach(*first);
    secondLog.Attach(*second);
    first->Connect(Variant("127.0.0.1"), Variant(listener.Port()));
    ASSERT_TRUE(RunUntil([&] { return first->State() == sckConnected; }));
    PeerSocket firstPeer = AcceptPeer(listener);
    second->Connect(Variant("127.0.0.1"), Variant(listener.Port()));
    ASSERT_TRUE(RunUntil([&] { return second->State() == sckConnected; }));
    PeerSocket secondPeer = AcceptPeer(listener);

    // The first object goes away; a third one takes its place (and likely its handle).
    first.reset();
    auto third = CNetSocket::Create();
    EventLog thirdLog;
    thirdLog.Attach(*third);
    third->Connect(Variant("127.0.0.1"), Variant(listener.Port()));
    ASSERT_TRUE(RunUntil([&] { return third->State() == sckConnected; }));
    PeerSocket thirdPeer = AcceptPeer(listener);

    ASSERT_TRUE(thirdPeer.SendAll("3"));
    ASSERT_TRUE(secondPeer.SendAll("22"));
    ASSERT_TRUE(
        RunUntil([&] { return third->BytesReceived() == 1 && second->BytesReceived() == 2; }));
    EXPECT_EQ(thirdLog.entries, (std::vector<std::string>{"Connect", "DataArrival 1"}));
    EXPECT_EQ(secondLog.entries, (std::vector<std::string>{"Connect", "DataArrival 2"}));
    EXPECT_EQ(firstLog.entries, std::vector<std::string>{"Connect"});
}

}  // namespace
}  // namespace zonbode::net::testing

namespace zonbode::net::testing {
namespace {

// The peer's close is queued for the object's handle when the object closes, and the system
// hands the number out again at once to the same object, reopened: as a datagram socket, or
// connecting to a listener whose full queue keeps the handshake running. Another object keeps
// the notification window (and what is queued for it) alive meanwhile.
TEST_F(CNetSocketReentrancy, NotificationsOfAClosedHandleNeverReachTheHandlesNextSocket) {
    for (const bool reconnect : {false, true}) {
        auto keeper = CNetSocket::Create();
        keeper->Listen();
        PeerSocket full(sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp));
        ASSERT_EQ(sys::Bind(full.Handle(), Endpoint(Loopback(), 0)), 0);
        ASSERT_EQ(sys::Listen(full.Handle(), 0), 0);
        PeerSocket queued = ConnectedPeer(full.Port());
        PeerSocket peer;
        auto socket = LoggedPair(peer);
        RunFor(std::chrono::milliseconds(200));  // the connect's FD_WRITE has been handled
        log.entries.clear();
        const sys::Handle handle = socket->SocketHandle();
        peer.Close();
        ASSERT_TRUE(WaitUntilQueued(handle, sys::FD_CLOSE)) << reconnect;

        socket->CloseSck();
        NextSocketGets reuse(handle);
        ASSERT_TRUE(reuse.Ready()) << reconnect;
        if (reconnect) {
            socket->Connect(Variant("127.0.0.1"), Variant(full.Port()));
        } else {
            socket->SetProtocol(sckProtocolUdp);
            socket->Bind(Variant(0), Variant("127.0.0.1"));
        }
        ASSERT_EQ(socket->SocketHandle(), handle) << reconnect;
        RunFor(std::chrono::milliseconds(300));
        EXPECT_TRUE(log.entries.empty()) << reconnect;
        if (!reconnect) {
            EXPECT_EQ(socket->State(), sckOpen);
            continue;
        }
        EXPECT_EQ(socket->State(), sckConnecting);
        PeerSocket first = AcceptPeer(full);  // room in the queue: the handshake completes
        ASSERT_TRUE(RunUntil([&] { return !log.entries.empty(); }));
        EXPECT_EQ(log.entries, std::vector<std::string>{"Connect"});
        EXPECT_EQ(socket->State(), sckConnected);
    }
}

}  // namespace
}  // namespace zonbode::net::testing
