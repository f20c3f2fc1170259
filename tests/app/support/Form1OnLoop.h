#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

#include "app/Form1.h"
#include "app/fakes/FakePorts.h"
#include "net/EventLoop.h"

namespace zonbode::testing {

// Form1 with every port faked, its sockets on the real event loop: loaded from a forecast
// server or a live source, and the loop run until something holds.
class Form1OnLoop : public ::testing::Test {
protected:
    static constexpr std::chrono::milliseconds kPatience{
        30000};  // generous: the machine may be busy

    template <typename Source>
    void Load(Source source) {
        form = std::make_unique<app::Form1>(ports.Ports(), std::move(source));
        form->Form_Load();
    }

    bool RunUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = kPatience) {
        return net::EventLoop::RunUntil(done, timeout);
    }
    bool RunUntilState(app::DownloadCycle state) {
        return RunUntil([&] { return form->DownloadCycleState() == state; });
    }
    // Lets the loop handle whatever else might come, for a short while.
    void RunIdle(std::chrono::milliseconds time = std::chrono::milliseconds(300)) {
        net::EventLoop::RunUntil([] { return false; }, time);
    }

    // Before the servers of the test's own fixture go.
    void TearDown() override { form.reset(); }

    app::fakes::FakePorts ports;
    std::unique_ptr<app::Form1> form;
};

}  // namespace zonbode::testing
