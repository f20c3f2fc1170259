#include "ServeLoop.h"

#include <chrono>

#include "StopRequests.h"
#include "net/EventLoop.h"

namespace zonbode::pageserver {

void ServeUntilStopped(live::PageServer& server) {
    using namespace std::chrono_literals;
    namespace EventLoop = net::EventLoop;
    // The stop flag is set by a signal; a short tick makes the loop look at it.
    const auto tick = EventLoop::AddTimer(100ms, [] {});
    const auto sweep = EventLoop::AddTimer(1s, [&] { server.CloseExpiredConnections(); });
    while (!StopRequested()) {
        EventLoop::RunUntil([] { return StopRequested(); }, 1h);
    }
    EventLoop::RemoveTimer(sweep);
    EventLoop::RemoveTimer(tick);
    server.Stop();
}

}  // namespace zonbode::pageserver
