// The listening side: offering incoming connections, taking them over with Accept, refusing
// the ones nobody takes, and what a parked connection collected before it was taken.

#include <limits>
#include <set>
#include <thread>

#include "FailingAccepts.h"
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
    auto listener = CNetSocket::Create();
    listener->SetRemoteHost("before.example");
    listener->SetRemotePort(4321);
    listener->Bind(Variant(0), Variant("127.0.0.1"));
    listener->Listen();
    int requests = 0;
    std::int32_t requestID = -1;
    std::string hostDuringEvent = "unset";
    listener->Events.ConnectionRequest = [&](std::int32_t id) {
        ++requests;
        requestID = id;
        hostDuringEvent = listener->RemoteHost();
    };
    PeerSocket client = ConnectedPeer(listener->LocalPort());
    ASSERT_TRUE(RunUntil([&] { return requests == 1; }));
    EXPECT_EQ(hostDuringEvent, "") << "the caller's values during the event";
    EXPECT_EQ(client.RecvUntilClosed(), "");  // closed by the listener
    EXPECT_EQ(listener->State(), sckListening);
    EXPECT_EQ(listener->RemoteHostIP(), "");
    EXPECT_EQ(listener->RemotePort(), 4321);
    EXPECT_EQ(listener->RemoteHost(), "before.example");
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

// The loop never dispatches while a handler runs, so a parked connection's own notifications
// cannot run during its ConnectionRequest event here. The tests below route the notification
// the network posts for the holder (as a nested message loop would) once the condition it
// reports has really happened on the socket.
void DeliverToHolder(std::int32_t requestID, std::int32_t event) {
    modNetSocket::RouteNow(sys::kSocketEventMessage, requestID, event);
}

std::uint32_t Waiting(sys::Handle handle) {
    std::uint32_t count = 0;
    sys::IoctlFionread(handle, &count);
    return count;
}

bool PeerHasClosed(sys::Handle handle) {
    char byte = 0;
    return sys::Recv(handle, &byte, 1, sys::kMsgPeek) == 0;
}

// The client says its ten "last words" and closes before the connection is accepted; the
// holder is told of both.
void SayLastWordsBeforeAccept(PeerSocket& client, std::int32_t id) {
    ASSERT_TRUE(client.SendAll("last words"));
    client.Close();
    ASSERT_TRUE(WaitFor([&] { return Waiting(id) == 10; }));
    DeliverToHolder(id, sys::FD_READ);
    ASSERT_TRUE(WaitFor([&] { return PeerHasClosed(id); }));
    DeliverToHolder(id, sys::FD_CLOSE);
}

TEST_F(CNetSocketListen, DataThatReachedTheHolderArrivesAsOneDataArrivalInsideAccept) {
    auto listener = Listener();
    PeerSocket client;
    std::shared_ptr<CNetSocket> server;
    listener->Events.ConnectionRequest = [&](std::int32_t id) {
        ASSERT_TRUE(client.SendAll("early "));
        ASSERT_TRUE(WaitFor([&] { return Waiting(id) == 6; }));
        DeliverToHolder(id, sys::FD_READ);
        ASSERT_TRUE(client.SendAll("bytes"));
        ASSERT_TRUE(WaitFor([&] { return Waiting(id) == 5; }));
        DeliverToHolder(id, sys::FD_READ);
        EXPECT_EQ(modNetSocket::GetAcceptedObject(id)->BytesReceived(), 11);
        server = LoggedSocket();
        server->Accept(id);
        EXPECT_EQ(log.entries, std::vector<std::string>{"DataArrival 11"});
    };
    client = ConnectedPeer(listener->LocalPort());
    ASSERT_TRUE(RunUntil([&] { return server != nullptr; }));
    RunFor(std::chrono::milliseconds(100));
    // Nothing more: the notifications already handled by the holder bring no second event.
    EXPECT_EQ(log.entries, std::vector<std::string>{"DataArrival 11"});
    Variant data(std::string{});
    server->GetData(data);
    EXPECT_EQ(data.AsString(), "early bytes");
    EXPECT_EQ(server->State(), sckConnected);

    // The connection now reports to its new owner.
    ASSERT_TRUE(client.SendAll("later"));
    ASSERT_TRUE(RunUntil([&] { return server->BytesReceived() == 5; }));
    EXPECT_EQ(log.entries.back(), "DataArrival 5");
}

TEST_F(CNetSocketListen, PeerThatClosedBeforeAcceptEndsInClosingInsideAccept) {
    auto listener = Listener();
    PeerSocket client;
    std::shared_ptr<CNetSocket> server;
    listener->Events.ConnectionRequest = [&](std::int32_t id) {
        ASSERT_NO_FATAL_FAILURE(SayLastWordsBeforeAccept(client, id));
        EXPECT_EQ(modNetSocket::GetAcceptedObject(id)->State(), sckClosing);
        server = LoggedSocket();
        server->Accept(id);
        EXPECT_EQ(log.entries, (std::vector<std::string>{"DataArrival 10", "CloseSck"}));
    };
    client = ConnectedPeer(listener->LocalPort());
    ASSERT_TRUE(RunUntil([&] { return server != nullptr; }));
    RunFor(std::chrono::milliseconds(100));
    EXPECT_EQ(log.entries, (std::vector<std::string>{"DataArrival 10", "CloseSck"}));
    EXPECT_EQ(server->State(), sckClosing);
    server->CloseSck();
    EXPECT_EQ(server->State(), sckClosed);
}

// A DataArrival handler inside Accept that closes the object, or closes and connects again,
// leaves it as the handler left it: the parked close is not applied on top.
TEST_F(CNetSocketListen, AHandlerInsideAcceptLeavesTheObjectAsItWants) {
    struct Case {
        const char* name;
        bool reconnect;
        std::int32_t state;
        std::vector<std::string> events;
    };
    const std::vector<Case> cases = {
        {"closes", false, sckClosed, {"DataArrival 10"}},
        {"reconnects", true, sckConnected, {"DataArrival 10", "Connect"}},
    };
    for (const Case& c : cases) {
        auto listener = Listener();
        PeerSocket other = ListeningPeer();
        PeerSocket client;
        std::shared_ptr<CNetSocket> server;
        log = EventLog{};  // each case starts with an empty log
        listener->Events.ConnectionRequest = [&](std::int32_t id) {
            ASSERT_NO_FATAL_FAILURE(SayLastWordsBeforeAccept(client, id));
            server = LoggedSocket();
            server->Events.DataArrival = [&](std::int32_t total) {
                log.entries.push_back("DataArrival " + std::to_string(total));
                Variant data(std::string{});
                server->GetData(data);
                server->CloseSck();
                if (c.reconnect) {
                    server->Connect(Variant("127.0.0.1"), Variant(other.Port()));
                }
            };
            server->Accept(id);
        };
        client = ConnectedPeer(listener->LocalPort());
        ASSERT_TRUE(RunUntil([&] { return server != nullptr; })) << c.name;
        RunUntil([&] { return log.entries.size() >= c.events.size(); });
        RunFor(std::chrono::milliseconds(100));
        EXPECT_EQ(log.entries, c.events) << c.name;
        EXPECT_EQ(server->State(), c.state) << c.name;
        if (!c.reconnect) {
            // A closed object, usable again.
            EXPECT_EQ(server->SocketHandle(), -1);
            server->Connect(Variant("127.0.0.1"), Variant(other.Port()));
            EXPECT_TRUE(RunUntil([&] { return server->State() == sckConnected; })) << c.name;
        }
    }
}

// A failed Connect (its bind found the local port taken) leaves the object closed but holding
// its socket; an Accept onto it closes that socket first, so nothing stays registered.
TEST_F(CNetSocketListen, AcceptOntoAnObjectStillHoldingASocketClosesThatSocket) {
    PeerSocket taken = ListeningPeer();
    auto listener = Listener();
    auto server = CNetSocket::Create();
    server->SetLocalPort(taken.Port());
    auto error =
        Raised([&] { server->Connect(Variant("127.0.0.1"), Variant(listener->LocalPort())); });
    ASSERT_EQ(error.Number(), 10048);
    ASSERT_EQ(server->State(), sckClosed);
    const sys::Handle held = server->SocketHandle();
    ASSERT_NE(held, -1);

    listener->Events.ConnectionRequest = [&](std::int32_t id) { server->Accept(id); };
    PeerSocket client = ConnectedPeer(listener->LocalPort());
    ASSERT_TRUE(RunUntil([&] { return server->State() == sckConnected; }));
    EXPECT_NE(server->SocketHandle(), held);
    EXPECT_FALSE(modNetSocket::IsSocketRegistered(held));
    server.reset();
    listener.reset();
    EXPECT_EQ(modNetSocket::WindowHandle(), 0) << "a socket is still registered";
}

TEST_F(CNetSocketListen, ListenRulesAndClosingTheListenerInItsOwnEvent) {
    auto listener = Listener();
    auto error = Raised([&] { listener->Listen(); });
    EXPECT_EQ(error.Number(), 40020);
    EXPECT_EQ(error.Source(), "CNetSocket.Listen");
    // Listening, the object reports the address it is bound to, not the host name's.
    auto elsewhere = CNetSocket::Create();
    elsewhere->Bind(Variant(0), Variant("127.0.0.2"));
    elsewhere->Listen();
    EXPECT_EQ(elsewhere->LocalIP(), "127.0.0.2");
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

TEST_F(CNetSocketListen, HandlerThatFailsStillLeavesNoParkedConnection) {
    auto listener = Listener();
    std::int32_t requestID = -1;
    listener->Events.ConnectionRequest = [&](std::int32_t id) {
        requestID = id;
        throw std::runtime_error("a handler that fails");
    };
    PeerSocket client = ConnectedPeer(listener->LocalPort());
    ASSERT_TRUE(RunUntil([&] { return requestID != -1; }));
    EXPECT_FALSE(modNetSocket::IsAcceptRegistered(requestID));
    EXPECT_EQ(client.RecvUntilClosed(), "");
    EXPECT_EQ(listener->State(), sckListening);
    EXPECT_EQ(listener->RemoteHostIP(), "");
}

// Makes every accept call fail with the code until it goes.
class AcceptsFailing {
public:
    explicit AcceptsFailing(std::int32_t code) {
        testing::FailAccepts(std::numeric_limits<std::int32_t>::max(), code);
    }
    ~AcceptsFailing() { End(); }
    void End() { testing::FailAccepts(0, 0); }
};

// An accept that fails for want of descriptors or buffers leaves the connection waiting: the
// owner hears of it through the Error event (the router has no one to tell), the listener is
// not asked again at once, and once accept works again the connection is served.
TEST_F(CNetSocketListen, AcceptOutOfDescriptorsOrBuffersReportsWaitsAndServesLater) {
    for (const std::int32_t code : {10024, 10055}) {
        SCOPED_TRACE(code);
        auto listener = Listener();
        std::vector<ErrorEventArgs> errors;
        listener->Events.Error = [&](ErrorEventArgs& args) { errors.push_back(args); };
        std::shared_ptr<CNetSocket> server;
        listener->Events.ConnectionRequest = [&](std::int32_t requestID) {
            server = CNetSocket::Create();
            server->Accept(requestID);
        };
        const std::int32_t routedBefore = modNetSocket::RoutedErrorCount();
        const std::int32_t callsBefore = testing::AcceptCallCount();
        AcceptsFailing failing(code);
        PeerSocket client = ConnectedPeer(listener->LocalPort());
        ASSERT_TRUE(RunUntil([&] { return !errors.empty(); }));

        // The attempts while accept keeps failing: a few, not one per turn of the loop.
        const std::int32_t callsAtFirstError = testing::AcceptCallCount();
        RunFor(std::chrono::milliseconds(400));
        const std::int32_t retries = testing::AcceptCallCount() - callsAtFirstError;
        RecordProperty("accept_retries_" + std::to_string(code), retries);
        EXPECT_LE(retries, 6);
        EXPECT_EQ(errors.size(),
                  static_cast<std::size_t>(testing::AcceptCallCount() - callsBefore));
        for (const auto& error : errors) {
            EXPECT_EQ(error.Number, code);
            EXPECT_EQ(error.source, "CNetSocket.PostSocket");
        }
        EXPECT_EQ(modNetSocket::RoutedErrorCount(), routedBefore);
        EXPECT_EQ(listener->State(), sckListening);
        EXPECT_EQ(server, nullptr);

        failing.End();
        ASSERT_TRUE(RunUntil([&] { return server != nullptr; }));
        EXPECT_EQ(server->State(), sckConnected);
        server->SendData(Variant("hallo"));
        EXPECT_EQ(client.RecvExactly(5), "hallo");
    }
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
