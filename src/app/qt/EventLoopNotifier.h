#pragma once

#include <memory>

class QSocketNotifier;

namespace zonbode::app::qt {

// Runs the socket runtime's pending notifications whenever its descriptor turns readable,
// from Qt's own event loop: nothing polls.
class EventLoopNotifier {
public:
    EventLoopNotifier();
    EventLoopNotifier(const EventLoopNotifier&) = delete;
    EventLoopNotifier& operator=(const EventLoopNotifier&) = delete;
    ~EventLoopNotifier();

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace zonbode::app::qt
