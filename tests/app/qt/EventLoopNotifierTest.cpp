// Network notifications reach the socket object through Qt's own loop.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include "app/qt/EventLoopNotifier.h"
#include "net/CNetSocket.h"

namespace zonbode::app::qt {
namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST(EventLoopNotifier, SocketEventsArriveWhileQtRunsAndAModalLoopInAHandlerDoesNotSpin) {
    EventLoopNotifier notifier;
    auto server = net::CNetSocket::Create();
    auto client = net::CNetSocket::Create();
    bool requested = false;
    bool connected = false;
    double cpuInNestedLoop = -1;
    server->Events.ConnectionRequest = [&](std::int32_t) { requested = true; };
    client->Events.Connect = [&] {
        connected = true;
        // As a message box would: a nested loop inside the handler, with the server's
        // notification still waiting behind this one.
        const double before = CpuSeconds();
        QEventLoop nested;
        QTimer::singleShot(500, &nested, &QEventLoop::quit);
        nested.exec();
        cpuInNestedLoop = CpuSeconds() - before;
    };
    server->SetLocalPort(0);
    server->Listen();
    ASSERT_GT(server->LocalPort(), 0);
    client->Connect(net::Variant("127.0.0.1"), net::Variant(server->LocalPort()));

    EXPECT_TRUE(QTest::qWaitFor([&] { return connected && requested; }, 30000));
    EXPECT_GE(cpuInNestedLoop, 0.0);
    // Waiting costs well under a millisecond; a loop that keeps finding the descriptor
    // readable burns tens of milliseconds in that half second, even on a busy machine.
    EXPECT_LT(cpuInNestedLoop, 0.02);
    client->CloseSck();
    server->CloseSck();
}

}  // namespace
}  // namespace zonbode::app::qt
