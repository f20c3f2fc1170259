#pragma once

// What the live source's tests share: the recorded weather service as a real process on
// loopback, and a loop that runs while a client thread talks to a server of the test.

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "LoopbackExchange.h"
#include "ServerProcess.h"
#include "SlowClient.h"
#include "net/EventLoop.h"

namespace zonbode::live::testing {

using namespace std::chrono_literals;
using zonbode::testing::HttpGet;

inline constexpr const char* kForecastPath = "/waarschuwingen_en_verwachtingen/index.html";

// recorded_api.py on a free loopback port; stopped with the object.
class RecordedApi : public zonbode::testing::ServerProcess {
public:
    RecordedApi()
        : ServerProcess(ZONBODE_PYTHON, {ZONBODE_RECORDED_API, ZONBODE_RECORDED_ANSWERS}) {}
    // The base URL that answers with `answer` (a recorded case, see recorded_api.py).
    std::string Url(const std::string& answer) const {
        return "http://127.0.0.1:" + std::to_string(Port()) + "/" + answer;
    }
    // What the "live" case answers from now on.
    void SetLive(const std::string& answer) const { HttpGet(Port(), "/set/" + answer); }
    // Lets the requests of the "held" case have their answer.
    void Release() const { HttpGet(Port(), "/release"); }
    // How many requests of the "held" case have arrived so far.
    int HeldCount() const {
        const std::string answer = HttpGet(Port(), "/held");
        return std::atoi(answer.substr(answer.find("\r\n\r\n") + 4).c_str());
    }
};

// An HTTPS server whose certificate nobody trusts (tests/support/tls_server.py).
class UntrustedServer : public zonbode::testing::ServerProcess {
public:
    UntrustedServer() : ServerProcess(ZONBODE_PYTHON, {ZONBODE_TLS_SERVER}) {}
    std::string Url() const { return "https://127.0.0.1:" + std::to_string(Port()); }
};

// A slow client that wakes the loop when it ends.
inline std::unique_ptr<zonbode::testing::SlowClient> NewSlowClient(int port, bool drip) {
    return std::make_unique<zonbode::testing::SlowClient>(port, drip, 500ms,
                                                          [] { net::EventLoop::PostTask([] {}); });
}

// Runs the loop until `done` or a generous timeout.
inline bool RunUntil(const std::function<bool()>& done) {
    return net::EventLoop::RunUntil(done, 30s);
}

// What a client thread got from `port` while the loop ran: the response's body.
inline std::string ServedBody(int port) {
    std::promise<std::string> got;
    auto response = got.get_future();
    std::thread client([port, &got] {
        got.set_value(HttpGet(port, kForecastPath));
        net::EventLoop::PostTask([] {});  // wakes the loop to look at the answer
    });
    RunUntil([&] { return response.wait_for(0s) == std::future_status::ready; });
    client.join();
    const std::string text = response.get();
    const auto body = text.find("\r\n\r\n");
    return body == std::string::npos ? text : text.substr(body + 4);
}

}  // namespace zonbode::live::testing
