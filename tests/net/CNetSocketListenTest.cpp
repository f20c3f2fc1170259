// The listening side: offering incoming connections, taking them over with Accept, refusing
// the ones nobody takes, and what a parked connection collected before it was taken.

#include <set>

#include "net/CNetSocketTestSupport.h"
#include "net/modNetSocket.h"

namespace zonbode::net::testing {
namespace {

class CNetSocketListen : public SocketTest {
protected:
    std::shared_ptr<CNetSocket> Listener() {
        auto listener = CNetSocket::Create();
        listener->Bind(Variant(0), Variant("127.0.0.1"));
        listener->Listen();
        EXPECT_EQ(listener->State(), sckListening);
        return listener;
    }
};

TEST_F(CNetSocketListen, AcceptedConnectionCarriesDataBothWays) {
    auto listener = Listener();
    std::shared_ptr<CNetSocket> server;
    std::string seenIP;
    std::int32_t seenPort = -1;
    listener->Events.ConnectionRequest = [&](std::int32_t requestID) {
        seenIP = listener->RemoteHostIP();
        seenPort = listener->RemotePort();
        EXPECT_EQ(listener->RemoteHost(), "");
        server = CNetSocket::Create();
        server->Accept(requestID);
    };
    PeerSocket client = ConnectedPeer(listener->LocalPort());
    ASSERT_TRUE(RunUntil([&] { return server != nullptr; }));
    EXPECT_EQ(seenIP, "127.0.0.1");
    EXPECT_EQ(seenPort, client.Port());
    EXPECT_EQ(server->State(), sckConnected);
    EXPECT_EQ(server->RemotePort(), client.Port());
    EXPECT_EQ(server->RemoteHostIP(), "127.0.0.1");
    EXPECT_EQ(server->LocalPort(), listener->LocalPort());
    EXPECT_EQ(listener->State(), sckListening);

    std::string received;
    server->Events.DataArrival = [&](std::int32_t) {
        Variant data(std::string{});
        server->GetData(data);
        received += data.AsString();
    };
    ASSERT_TRUE(client.SendAll("ping"));
    ASSERT_TRUE(RunUntil([&] { return received == "ping"; }));
    server->SendData(Variant("pong"));
    EXPECT_EQ(client.RecvExactly(4), "pong");
    server->CloseSck();
    EXPECT_EQ(client.RecvUntilClosed(), "");
}

TEST_F(CNetSocketListen, UntakenConnectionIsClosedAndTheListenerRestored) {
    auto listener = Listener();
    listener->SetTag("keep");
    int requests = 0;
    std::int32_t requestID = -1;
    listener->Events.ConnectionRequest = [&](std::int32_t id) {
        ++requests;
        requestID = id;
    };
    PeerSocket client = ConnectedPeer(listener->LocalPort());
    ASSERT_TRUE(RunUntil([&] { return requests == 1; }));
    EXPECT_EQ(client.RecvUntilClosed(), "");  // closed by the listener
    EXPECT_EQ(listener->State(), sckListening);
    EXPECT_EQ(listener->RemoteHostIP(), "");
    EXPECT_EQ(listener->RemotePort(), 0);
    EXPECT_EQ(listener->RemoteHost(), "");
    EXPECT_FALSE(modNetSocket::IsAcceptRegistered(requestID));

    // Still listening: the next connection is offered too.
    PeerSocket second = ConnectedPeer(listener->LocalPort());
    ASSERT_TRUE(RunUntil([&] { return requests == 2; }));
}

TEST_F(CNetSocketListen, AcceptOnABusyObjectIsRefusedAndTheConnectionClosed) {
    auto listener = Listener();
    PeerSocket other;
    auto busy = ConnectedPair(other);
    std::vector<RaisedError> errors;
    bool offered = false;
    listener->Events.ConnectionRequest = [&](std::int32_t id) {
        offered = true;
        try {
            busy->Accept(id);
        } catch (const RaisedError& error) {
            errors.push_back(error);
        }
    };
    PeerSocket client = ConnectedPeer(listener->LocalPort());
    ASSERT_TRUE(RunUntil([&] { return offered; }));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].Number(), 40020);
    EXPECT_EQ(errors[0].Source(), "CNetSocket.Accept");
    EXPECT_EQ(client.RecvUntilClosed(), "");
    EXPECT_EQ(busy->State(), sckConnected);
}

TEST_F(CNetSocketListen, AcceptOfAConnectionAnotherObjectOwnsLeavesItAlone) {
    PeerSocket peer;
    auto owner = ConnectedPair(peer);
    auto intruder = CNetSocket::Create();
    auto error = Raised([&] { intruder->Accept(owner->SocketHandle()); });
    EXPECT_EQ(error.Number(), 40006);
    EXPECT_EQ(error.Source(), "CNetSocket.Accept");
    EXPECT_EQ(intruder->SocketHandle(), -1);
    EXPECT_EQ(intruder->State(), sckClosed);

    // Closing or destroying the refused object never touches the owner's connection.
    intruder->CloseSck();
    intruder.reset();
    std::string received;
    owner->Events.DataArrival = [&](std::int32_t) {
        Variant data(std::string{});
        owner->GetData(data);
        received += data.AsString();
    };
    ASSERT_TRUE(peer.SendAll("still here"));
    ASSERT_TRUE(RunUntil([&] { return received == "still here"; }));
    owner->SendData(Variant("yes"));
    EXPECT_EQ(peer.RecvExactly(3), "yes");
}

TEST_F(CNetSocketListen, DataThatReachedTheHolderArrivesAsOneDataArrivalInsideAccept) {
    auto listener = Listener();
    PeerSocket client;
    std::shared_ptr<CNetSocket> server;
    EventLog log;
    std::vector<std::string> order;
    listener->Events.ConnectionRequest = [&](std::int32_t id) {
        // Let the parked connection's own notifications run before taking it.
        ASSERT_TRUE(client.SendAll("early bytes"));
        ASSERT_TRUE(
            RunUntil([&] { return modNetSocket::GetAcceptedObject(id)->BytesReceived() == 11; }));
        server = CNetSocket::Create();
        log.Attach(*server);
        order.push_back("Accept");
        server->Accept(id);
        order.push_back("Accept returned");
    };
    client = ConnectedPeer(listener->LocalPort());
    ASSERT_TRUE(RunUntil([&] { return server != nullptr; }));
    EXPECT_EQ(log.entries, std::vector<std::string>{"DataArrival 11"});
    Variant data(std::string{});
    server->GetData(data);
    EXPECT_EQ(data.AsString(), "early bytes");
    EXPECT_EQ(server->State(), sckConnected);
}

TEST_F(CNetSocketListen, PeerThatClosedBeforeAcceptEndsInClosingInsideAccept) {
    auto listener = Listener();
    PeerSocket client;
    std::shared_ptr<CNetSocket> server;
    EventLog log;
    listener->Events.ConnectionRequest = [&](std::int32_t id) {
        ASSERT_TRUE(client.SendAll("last words"));
        client.Close();
        ASSERT_TRUE(
            RunUntil([&] { return modNetSocket::GetAcceptedObject(id)->State() == sckClosing; }));
        server = CNetSocket::Create();
        log.Attach(*server);
        server->Accept(id);
    };
    client = ConnectedPeer(listener->LocalPort());
    ASSERT_TRUE(RunUntil([&] { return server != nullptr; }));
    EXPECT_EQ(log.entries, (std::vector<std::string>{"DataArrival 10", "CloseSck"}));
    EXPECT_EQ(server->State(), sckClosing);
    server->CloseSck();
    EXPECT_EQ(server->State(), sckClosed);
}

TEST_F(CNetSocketListen, ListenRulesAndClosingTheListenerInItsOwnEvent) {
    auto listener = Listener();
    auto error = Raised([&] { listener->Listen(); });
    EXPECT_EQ(error.Number(), 40020);
    EXPECT_EQ(error.Source(), "CNetSocket.Listen");
    const std::int32_t port = listener->LocalPort();

    bool offered = false;
    listener->Events.ConnectionRequest = [&](std::int32_t) {
        offered = true;
        listener->CloseSck();
    };
    PeerSocket client = ConnectedPeer(port);
    ASSERT_TRUE(RunUntil([&] { return offered; }));
    EXPECT_EQ(listener->State(), sckClosed);
    // Not put back: the listener is no longer listening.
    EXPECT_EQ(listener->RemoteHostIP(), "");
    EXPECT_EQ(client.RecvUntilClosed(), "");
}

TEST_F(CNetSocketListen, ManyClientsAreServedOneAfterAnother) {
    auto listener = Listener();
    std::vector<std::shared_ptr<CNetSocket>> servers;
    listener->Events.ConnectionRequest = [&](std::int32_t id) {
        auto server = CNetSocket::Create();
        server->Accept(id);
        server->SendData(Variant("hello " + std::to_string(servers.size())));
        server->CloseSck();
        servers.push_back(server);
    };
    std::vector<PeerSocket> clients;
    for (std::size_t i = 0; i < 20; ++i) {
        clients.push_back(ConnectedPeer(listener->LocalPort()));
        ASSERT_TRUE(RunUntil([&] { return servers.size() == i + 1; }));
    }
    std::set<std::string> greetings;
    for (auto& client : clients) {
        greetings.insert(client.RecvUntilClosed());
    }
    EXPECT_EQ(greetings.size(), clients.size());
}

}  // namespace
}  // namespace zonbode::net::testing
