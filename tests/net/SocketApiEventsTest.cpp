// The notification rules of asynchronous selection, over real loopback sockets.

#include <string>
#include <vector>

#include "net/CNetSocketTestSupport.h"
#include "net/SocketApiFixture.h"

namespace zonbode::net::testing {
namespace {

using std::chrono::milliseconds;

int SendAll(sys::Handle s, const std::string& bytes) {
    return sys::Send(s, bytes.data(), static_cast<int>(bytes.size()), 0);
}

// Reads on a blocking socket until `total` bytes have come.
int ReceiveBlocking(sys::Handle s, int total) {
    std::vector<char> buffer(65536);
    int got = 0;
    while (got < total) {
        int n = sys::Recv(s, buffer.data(), static_cast<int>(buffer.size()), 0);
        if (n <= 0) {
            break;
        }
        got += n;
    }
    return got;
}

TEST_F(SocketApiTest, ConnectPostsOneConnectThenOneWrite) {
    sys::SockAddrIn address;
    sys::Handle listener = MakeListener(&address);
    sys::Handle client = ConnectSubscribed(address);

    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_WRITE) == 1; }));
    Settle();
    auto notes = NotesFor(client);
    ASSERT_EQ(2u, notes.size());
    EXPECT_EQ(sys::FD_CONNECT, notes[0].event);
    EXPECT_EQ(0, notes[0].error);
    EXPECT_EQ(window_, notes[0].window);
    EXPECT_EQ(sys::FD_WRITE, notes[1].event);

    sys::SockAddrIn peer;
    ASSERT_EQ(0, sys::GetPeerName(client, &peer));
    EXPECT_EQ(address.port, peer.port);
    EXPECT_EQ("127.0.0.1", sys::InetNtoa(peer.addr));
    (void)listener;
}

TEST_F(SocketApiTest, RefusedConnectIsReportedOnceWith10061) {
    // A port that was just free: bound, never listened on, closed again.
    sys::Handle probe = sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp);
    ASSERT_EQ(0, sys::Bind(probe, Loopback(0)));
    sys::SockAddrIn address;
    ASSERT_EQ(0, sys::GetSockName(probe, &address));
    sys::CloseSocket(probe);

    sys::Handle client = Track(sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp));
    ASSERT_EQ(0, sys::AsyncSelect(client, window_, sys::kSocketEventMessage, sys::kEventMask));
    int result = sys::Connect(client, address);
    if (result != 0 && sys::LastError() == 10061) {
        GTEST_SKIP() << "the refusal came back from connect itself";
    }
    ASSERT_EQ(sys::kSocketError, result);
    ASSERT_EQ(10035, sys::LastError());

    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_CONNECT) == 1; }));
    Settle();
    auto notes = NotesFor(client);
    ASSERT_EQ(1u, notes.size());
    EXPECT_EQ(sys::FD_CONNECT, notes[0].event);
    EXPECT_EQ(10061, notes[0].error);
}

TEST_F(SocketApiTest, ReadIsPostedOncePerReceiveCallWhileDataWaits) {
    sys::Handle client = 0;
    sys::Handle server = 0;
    MakeConnectedPair(&client, &server);

    ASSERT_EQ(100, SendAll(server, std::string(100, 'a')));
    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_READ) == 1; }));
    ASSERT_EQ(50, SendAll(server, std::string(50, 'b')));
    Settle();
    EXPECT_EQ(1, Count(client, sys::FD_READ)) << "no receive call, no new FD_READ";

    char piece[10];
    ASSERT_EQ(10, sys::Recv(client, piece, sizeof piece, 0));
    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_READ) == 2; }));

    // A peek is a receive call as well, and leaves the data where it is.
    ASSERT_EQ(10, sys::Recv(client, piece, sizeof piece, sys::kMsgPeek));
    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_READ) == 3; }));

    std::vector<char> rest(1000);
    int taken = 0;
    while (taken < 140) {
        int n = sys::Recv(client, rest.data(), static_cast<int>(rest.size()), 0);
        ASSERT_GT(n, 0) << "error " << sys::LastError();
        taken += n;
    }
    int readsBefore = Count(client, sys::FD_READ);
    Settle();
    EXPECT_EQ(readsBefore, Count(client, sys::FD_READ)) << "nothing waits any more";
    EXPECT_EQ(0, Count(client, sys::FD_CLOSE));
    std::uint32_t pending = 99;
    ASSERT_EQ(0, sys::IoctlFionread(client, &pending));
    EXPECT_EQ(0u, pending);
}

TEST_F(SocketApiTest, WriteIsPostedAgainOnlyAfterASendThatWouldBlock) {
    sys::Handle client = 0;
    sys::Handle server = 0;
    MakeConnectedPair(&client, &server);
    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_WRITE) == 1; }));

    ASSERT_EQ(1000, SendAll(client, std::string(1000, 'x')));
    Settle(milliseconds(100));
    EXPECT_EQ(1, Count(client, sys::FD_WRITE)) << "a send that succeeds arms nothing";

    std::string chunk(65536, 'y');
    long long sent = 1000;
    int n = 0;
    while ((n = SendAll(client, chunk)) > 0) {
        sent += n;
    }
    ASSERT_EQ(10035, sys::LastError());
    EXPECT_EQ(1, Count(client, sys::FD_WRITE));

    EXPECT_EQ(sent, ReceiveBlocking(server, static_cast<int>(sent)));
    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_WRITE) == 2; }));
    Settle();
    EXPECT_EQ(2, Count(client, sys::FD_WRITE));
}

TEST_F(SocketApiTest, CloseComesAfterEveryPieceOfDataWasRead) {
    sys::Handle client = 0;
    sys::Handle server = 0;
    MakeConnectedPair(&client, &server);

    // The reader takes small pieces, one per FD_READ, as the socket object does.
    int taken = 0;
    bool readAfterClose = false;
    OnNote() = [&](const Note& note) {
        if (note.wParam != client) {
            return;
        }
        if (note.event == sys::FD_READ) {
            readAfterClose = readAfterClose || Count(client, sys::FD_CLOSE) > 0;
            char piece[300];
            int n = sys::Recv(client, piece, sizeof piece, 0);
            if (n > 0) {
                taken += n;
            }
        }
    };
    ASSERT_EQ(5000, SendAll(server, std::string(5000, 'd')));
    Forget(server);
    ASSERT_EQ(0, sys::CloseSocket(server));

    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_CLOSE) == 1; }));
    Settle();
    EXPECT_EQ(5000, taken);
    EXPECT_FALSE(readAfterClose);
    auto notes = NotesFor(client);
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(sys::FD_CLOSE, notes.back().event);
    EXPECT_EQ(0, notes.back().error);
    EXPECT_EQ(1, Count(client, sys::FD_CLOSE));
}

TEST_F(SocketApiTest, CloseWaitsWhileTheReaderLeavesDataUnread) {
    sys::Handle client = 0;
    sys::Handle server = 0;
    MakeConnectedPair(&client, &server);

    ASSERT_EQ(10, SendAll(server, "0123456789"));
    Forget(server);
    ASSERT_EQ(0, sys::CloseSocket(server));
    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_READ) == 1; }));
    Settle();
    EXPECT_EQ(0, Count(client, sys::FD_CLOSE));

    char buffer[64];
    ASSERT_EQ(10, sys::Recv(client, buffer, sizeof buffer, 0));
    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_CLOSE) == 1; }));
    EXPECT_EQ(0, NotesFor(client).back().error);
    EXPECT_EQ(0, sys::Recv(client, buffer, sizeof buffer, 0)) << "the end of the stream";
}

TEST_F(SocketApiTest, ResetIsReportedAsCloseWithAnError) {
    sys::Handle client = 0;
    sys::Handle server = 0;
    MakeConnectedPair(&client, &server);

    // Closing with unread data makes the server's side reset the connection.
    ASSERT_EQ(4, SendAll(client, "ping"));
    std::uint32_t pending = 0;
    ASSERT_TRUE(WaitFor([&] { return sys::IoctlFionread(server, &pending) == 0 && pending == 4; }));
    Forget(server);
    ASSERT_EQ(0, sys::CloseSocket(server));

    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_CLOSE) == 1; }));
    int error = NotesFor(client).back().error;
    EXPECT_TRUE(error == 10054 || error == 10053) << error;

    // Sending on the broken connection fails with an error code; the process lives on.
    std::string data(1000, 'z');
    int result = 0;
    for (int i = 0; i < 10 && result >= 0; ++i) {
        result = SendAll(client, data);
    }
    EXPECT_EQ(sys::kSocketError, result);
    EXPECT_NE(0, sys::LastError());
}

TEST_F(SocketApiTest, AcceptIsPostedOncePerAcceptCall) {
    sys::SockAddrIn address;
    sys::Handle listener = MakeListener(&address);
    ASSERT_EQ(0, sys::AsyncSelect(listener, window_, sys::kSocketEventMessage, sys::kEventMask));

    sys::Handle first = Track(sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp));
    sys::Handle second = Track(sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp));
    ASSERT_EQ(0, sys::Connect(first, address));
    ASSERT_EQ(0, sys::Connect(second, address));

    ASSERT_TRUE(WaitFor([&] { return Count(listener, sys::FD_ACCEPT) == 1; }));
    Settle();
    EXPECT_EQ(1, Count(listener, sys::FD_ACCEPT));

    sys::SockAddrIn peer;
    sys::Handle a = Track(sys::Accept(listener, &peer));
    EXPECT_EQ("127.0.0.1", sys::InetNtoa(peer.addr));
    ASSERT_TRUE(WaitFor([&] { return Count(listener, sys::FD_ACCEPT) == 2; }));
    sys::Handle b = Track(sys::Accept(listener, nullptr));
    EXPECT_NE(a, b);
    Settle();
    EXPECT_EQ(2, Count(listener, sys::FD_ACCEPT));

    // Nothing waits now: another accept call would block.
    EXPECT_EQ(sys::kInvalidSocket, sys::Accept(listener, nullptr));
    EXPECT_EQ(10035, sys::LastError());
}

TEST_F(SocketApiTest, AcceptedSocketReportsLikeItsListener) {
    sys::SockAddrIn address;
    sys::Handle listener = MakeListener(&address);
    ASSERT_EQ(0, sys::AsyncSelect(listener, window_, sys::kSocketEventMessage, sys::kEventMask));
    sys::Handle peer = Track(sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp));
    ASSERT_EQ(0, sys::Connect(peer, address));
    ASSERT_TRUE(WaitFor([&] { return Count(listener, sys::FD_ACCEPT) == 1; }));
    sys::Handle accepted = Track(sys::Accept(listener, nullptr));

    ASSERT_EQ(5, SendAll(peer, "hello"));
    ASSERT_TRUE(WaitFor([&] { return Count(accepted, sys::FD_READ) == 1; }));
    auto notes = NotesFor(accepted);
    EXPECT_EQ(window_, notes.back().window);
    EXPECT_EQ(sys::kSocketEventMessage, notes.back().message);

    // Non-blocking like the listener: a second read finds nothing and would block.
    char buffer[16];
    ASSERT_EQ(5, sys::Recv(accepted, buffer, sizeof buffer, 0));
    EXPECT_EQ(sys::kSocketError, sys::Recv(accepted, buffer, sizeof buffer, 0));
    EXPECT_EQ(10035, sys::LastError());

    Forget(peer);
    sys::CloseSocket(peer);
    ASSERT_TRUE(WaitFor([&] { return Count(accepted, sys::FD_CLOSE) == 1; }));
}

TEST_F(SocketApiTest, ClosedSocketsQueuedEventsNeverReachTheSocketThatGetsItsNumber) {
    sys::SockAddrIn address;
    sys::Handle listener = MakeListener(&address);
    sys::Handle client = ConnectSubscribed(address);
    sys::Handle server = Track(sys::Accept(listener, nullptr));
    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_WRITE) == 1; }));
    Settle(milliseconds(100));
    ASSERT_EQ(3, SendAll(server, "abc"));
    ASSERT_TRUE(WaitUntilQueued(window_, client, sys::FD_READ));

    Forget(client);
    ASSERT_EQ(0, sys::CloseSocket(client));
    Notes().clear();
    NextSocketGets reuse(client);
    ASSERT_TRUE(reuse.Ready());
    sys::Handle next = ConnectSubscribed(address);
    ASSERT_EQ(client, next);
    Track(sys::Accept(listener, nullptr));
    ASSERT_TRUE(WaitFor([&] { return Count(next, sys::FD_WRITE) == 1; }));
    Settle();
    std::vector<std::int32_t> events;
    for (const Note& note : NotesFor(next)) {
        events.push_back(note.event);
    }
    EXPECT_EQ(events, (std::vector<std::int32_t>{sys::FD_CONNECT, sys::FD_WRITE}))
        << "only the new socket's own connect and room to send";
}

TEST_F(SocketApiTest, DatagramLongerThanTheBufferFillsItAndFailsWith10040) {
    sys::Handle receiver = Track(sys::Socket(sys::kAfInet, sys::kSockDgram, sys::kIpprotoUdp));
    sys::Handle sender = Track(sys::Socket(sys::kAfInet, sys::kSockDgram, sys::kIpprotoUdp));
    ASSERT_EQ(0, sys::Bind(receiver, Loopback(0)));
    sys::SockAddrIn to;
    ASSERT_EQ(0, sys::GetSockName(receiver, &to));
    ASSERT_EQ(0, sys::AsyncSelect(receiver, window_, sys::kSocketEventMessage, sys::kEventMask));

    std::int32_t maxSize = 0;
    ASSERT_EQ(0, sys::GetSockOpt(receiver, sys::kSolSocket, sys::kSoMaxMsgSize, &maxSize));
    EXPECT_EQ(65507, maxSize);

    std::string first = "0123456789abcdefghij";
    ASSERT_EQ(20, sys::SendTo(sender, first.data(), 20, 0, to));
    ASSERT_EQ(4, sys::SendTo(sender, "next", 4, 0, to));
    ASSERT_TRUE(WaitFor([&] { return Count(receiver, sys::FD_READ) == 1; }));

    std::uint32_t pending = 0;
    ASSERT_EQ(0, sys::IoctlFionread(receiver, &pending));
    EXPECT_GE(pending, 20u);

    char buffer[32] = {};
    sys::SockAddrIn from;
    // A peek keeps the datagram.
    EXPECT_EQ(sys::kSocketError, sys::RecvFrom(receiver, buffer, 8, sys::kMsgPeek, &from));
    EXPECT_EQ(10040, sys::LastError());
    EXPECT_EQ("01234567", std::string(buffer, 8));
    // Without a peek the rest of it is lost.
    std::fill(std::begin(buffer), std::end(buffer), '\0');
    EXPECT_EQ(sys::kSocketError, sys::RecvFrom(receiver, buffer, 8, 0, &from));
    EXPECT_EQ(10040, sys::LastError());
    EXPECT_EQ("01234567", std::string(buffer, 8));
    sys::SockAddrIn senderAddress;
    ASSERT_EQ(0, sys::GetSockName(sender, &senderAddress));
    EXPECT_EQ(senderAddress.port, from.port);

    ASSERT_TRUE(WaitFor([&] { return Count(receiver, sys::FD_READ) >= 2; }));
    ASSERT_EQ(4, sys::RecvFrom(receiver, buffer, sizeof buffer, 0, &from));
    EXPECT_EQ("next", std::string(buffer, 4));
}

}  // namespace
}  // namespace zonbode::net::testing

namespace zonbode::net::testing {
namespace {

TEST_F(SocketApiTest, SubscribingAConnectedSocketReportsRoomButNoConnect) {
    sys::SockAddrIn address;
    sys::Handle listener = MakeListener(&address);
    sys::Handle client = Track(sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp));
    ASSERT_EQ(0, sys::Connect(client, address));  // blocking: done when it returns
    sys::Handle server = Track(sys::Accept(listener, nullptr));

    ASSERT_EQ(0, sys::AsyncSelect(client, window_, sys::kSocketEventMessage, sys::kEventMask));
    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_WRITE) == 1; }));
    ASSERT_EQ(3, sys::Send(server, "abc", 3, 0));
    ASSERT_TRUE(WaitFor([&] { return Count(client, sys::FD_READ) == 1; }));
    EXPECT_EQ(0, Count(client, sys::FD_CONNECT));
}

TEST_F(SocketApiTest, ASubscriptionWithoutEventsStaysQuiet) {
    sys::Handle client = 0;
    sys::Handle server = 0;
    MakeConnectedPair(&client, &server);
    ASSERT_EQ(0, sys::AsyncSelect(client, window_, sys::kSocketEventMessage, 0));
    Settle();  // what was queued before still arrives
    Notes().clear();
    ASSERT_EQ(3, sys::Send(server, "abc", 3, 0));
    Settle();
    EXPECT_TRUE(NotesFor(client).empty());
    char buffer[8];
    EXPECT_EQ(3, sys::Recv(client, buffer, sizeof buffer, 0)) << "still non-blocking and usable";
}

}  // namespace
}  // namespace zonbode::net::testing
