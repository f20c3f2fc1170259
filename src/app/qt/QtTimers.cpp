#include "app/qt/QtTimers.h"

#include <QTimer>

namespace zonbode::app::qt {
namespace {

class QtTimer : public Timer {
public:
    QtTimer(std::chrono::milliseconds interval, std::function<void()> onTick)
        : onTick_(std::move(onTick)) {
        timer_.setInterval(interval);
        // A 30 s cycle must not drift by the coarse timer's 5 %.
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (onTick_) {
                onTick_();
            }
        });
    }

    // QTimer::start restarts a running timer; ours keeps its schedule.
    void Start() override {
        if (!timer_.isActive()) {
            timer_.start();
        }
    }
    void Stop() override { timer_.stop(); }
    bool IsRunning() const override { return timer_.isActive(); }

private:
    QTimer timer_;
    std::function<void()> onTick_;
};

}  // namespace

std::unique_ptr<Timer> QtTimers::CreateTimer(std::chrono::milliseconds interval, bool running,
                                             std::function<void()> onTick) {
    auto timer = std::make_unique<QtTimer>(interval, std::move(onTick));
    if (running) {
        timer->Start();
    }
    return timer;
}

}  // namespace zonbode::app::qt
