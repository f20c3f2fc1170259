#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "app/Ports.h"

namespace zonbode::app::fakes {

// Timers on a virtual clock that only moves when the test calls Advance. A timer that runs
// ticks at start + k * interval; Start on a running timer keeps that schedule; a stopped timer
// started again counts from the moment of the Start.
class FakeTimerFactory final : public TimerFactory {
public:
    using Ms = std::chrono::milliseconds;

    struct State {
        Ms interval{0};
        bool running = false;
        Ms due{0};
        std::function<void()> onTick;
        int ticks = 0;
        bool alive = true;
    };

    Ms now{0};

    std::unique_ptr<Timer> CreateTimer(Ms interval, bool running,
                                       std::function<void()> onTick) override {
        auto state = std::make_shared<State>();
        state->interval = interval;
        state->onTick = std::move(onTick);
        timers_.push_back(state);
        auto timer = std::make_unique<FakeTimer>(state, this);
        if (running) {
            timer->Start();
        }
        return timer;
    }

    // Moves the clock forward, firing every tick that falls due, in time order (timers created
    // first go first on a tie).
    void Advance(Ms by) {
        const Ms target = now + by;
        for (;;) {
            std::shared_ptr<State> next;
            for (const auto& t : timers_) {
                if (t->alive && t->running && t->due <= target &&
                    (next == nullptr || t->due < next->due)) {
                    next = t;
                }
            }
            if (next == nullptr) {
                break;
            }
            now = next->due;
            next->due += next->interval;
            ++next->ticks;
            auto tick = next->onTick;  // the handler may stop or destroy its own timer
            tick();
        }
        now = target;
    }

    // The timer created with this interval (each of Form1's timers has its own).
    const State& ByInterval(Ms interval) const {
        for (const auto& t : timers_) {
            if (t->alive && t->interval == interval) {
                return *t;
            }
        }
        throw std::out_of_range("no timer with that interval");
    }

private:
    class FakeTimer final : public Timer {
    public:
        FakeTimer(std::shared_ptr<State> state, FakeTimerFactory* factory)
            : state_(std::move(state)), factory_(factory) {}
        ~FakeTimer() override { state_->alive = false; }
        void Start() override {
            if (!state_->running) {
                state_->running = true;
                state_->due = factory_->now + state_->interval;
            }
        }
        void Stop() override { state_->running = false; }
        bool IsRunning() const override { return state_->running; }

    private:
        std::shared_ptr<State> state_;
        FakeTimerFactory* factory_;
    };

    std::vector<std::shared_ptr<State>> timers_;
};

}  // namespace zonbode::app::fakes
