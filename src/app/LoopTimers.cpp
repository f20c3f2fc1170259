#include "app/LoopTimers.h"

#include "net/EventLoop.h"

namespace zonbode::app {

namespace {

namespace loop = net::EventLoop;

class LoopTimer final : public Timer {
public:
    LoopTimer(std::chrono::milliseconds interval, bool running, std::function<void()> onTick)
        : interval_(interval), onTick_(std::make_shared<std::function<void()>>(std::move(onTick))) {
        if (running) {
            Start();
        }
    }
    ~LoopTimer() override { Stop(); }

    void Start() override {
        if (id_ != 0) {
            return;  // already running: keep the schedule
        }
        // The loop holds its own reference to the handler, so a tick that destroys this
        // timer still finishes on a live function.
        auto handler = onTick_;
        id_ = loop::AddTimer(interval_, [handler] { (*handler)(); });
    }

    void Stop() override {
        if (id_ != 0) {
            loop::RemoveTimer(id_);
            id_ = 0;
        }
    }

    bool IsRunning() const override { return id_ != 0; }

private:
    std::chrono::milliseconds interval_;
    std::shared_ptr<std::function<void()>> onTick_;
    loop::TimerId id_ = 0;
};

}  // namespace

std::unique_ptr<Timer> LoopTimers::CreateTimer(std::chrono::milliseconds interval, bool running,
                                               std::function<void()> onTick) {
    return std::make_unique<LoopTimer>(interval, running, std::move(onTick));
}

}  // namespace zonbode::app
