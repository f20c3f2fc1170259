#include "app/qt/EventLoopNotifier.h"

#include <QSocketNotifier>

#include "net/EventLoop.h"

namespace zonbode::app::qt {

EventLoopNotifier::EventLoopNotifier() {
    const int descriptor = net::EventLoop::PollDescriptor();
    if (descriptor < 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated,
                     [] { net::EventLoop::ProcessPending(); });
}

EventLoopNotifier::~EventLoopNotifier() = default;

}  // namespace zonbode::app::qt
