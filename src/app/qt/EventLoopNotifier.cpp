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
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        // A handler may open a modal box, whose loop would find the descriptor still
        // readable and call back at once, over and over; it waits until the handler is done.
        notifier_->setEnabled(false);
        net::EventLoop::ProcessPending();
        notifier_->setEnabled(true);
    });
}

EventLoopNotifier::~EventLoopNotifier() = default;

}  // namespace zonbode::app::qt
