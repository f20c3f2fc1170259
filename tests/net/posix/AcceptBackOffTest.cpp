// A listener in a process that has no descriptor left: the connection waiting in its queue
// cannot be accepted, and the listener must not be polled for it in a loop. The process's
// descriptor limit is lowered for real and filled with sockets.

#include <vector>

#include "net/CNetSocketTestSupport.h"
#include "net/Diagnostics.h"
#include "support/LowDescriptorLimit.h"

namespace zonbode::net::testing {
namespace {

using zonbode::testing::LowDescriptorLimit;

class AcceptBackOff : public SocketTest {};

TEST_F(AcceptBackOff, AListenerOutOfDescriptorsWaitsReportsAndServesOnceOneIsFree) {
    auto listener = CNetSocket::Create();
    listener->Bind(Variant(0), Variant("127.0.0.1"));
    listener->Listen();
    std::vector<ErrorEventArgs> errors;
    listener->Events.Error = [&](ErrorEventArgs& args) { errors.push_back(args); };
    std::shared_ptr<CNetSocket> server;
    listener->Events.ConnectionRequest = [&](std::int32_t requestID) {
        server = CNetSocket::Create();
        server->Accept(requestID);
    };

    LowDescriptorLimit limit;
    ASSERT_TRUE(limit.Ok());
    PeerSocket client = ConnectedPeer(listener->LocalPort());
    std::vector<PeerSocket> fillers;
    while (true) {
        PeerSocket filler(sys::Socket(sys::kAfInet, sys::kSockDgram, sys::kIpprotoUdp));
        if (!filler.Valid()) {
            ASSERT_EQ(sys::LastError(), 10024);
            break;
        }
        fillers.push_back(std::move(filler));
    }
    ASSERT_FALSE(fillers.empty());

    // The attempts made while nothing is free: a few, not one per turn of the loop.
    const std::int32_t routedBefore = modNetSocket::RoutedErrorCount();
    RunFor(std::chrono::milliseconds(400));
    const std::size_t attempts =
        errors.size() + static_cast<std::size_t>(modNetSocket::RoutedErrorCount() - routedBefore);
    RecordProperty("accept_attempts", static_cast<int>(attempts));
    EXPECT_GE(attempts, 1u);
    EXPECT_LE(attempts, 6u);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0].Number, 10024);
    EXPECT_EQ(errors[0].source, "CNetSocket.PostSocket");
    EXPECT_EQ(listener->State(), sckListening);
    EXPECT_EQ(server, nullptr);

    // A socket of the process closes: the waiting connection is taken and served.
    fillers.pop_back();
    ASSERT_TRUE(RunUntil([&] { return server != nullptr; }));
    EXPECT_EQ(server->State(), sckConnected);
    server->SendData(Variant("hallo"));
    EXPECT_EQ(client.RecvExactly(5), "hallo");
}

}  // namespace
}  // namespace zonbode::net::testing
