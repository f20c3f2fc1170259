#pragma once

// Clients that hold a page server up on purpose, on real loopback connections: each one
// connects, then either says nothing or sends its request one byte at a time.

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace zonbode::live::testing {

class SlowClient {
public:
    // drip: one byte of a request every `pause`; otherwise silent. Connects on a thread of
    // its own, so many can wait for the listener's queue at once.
    SlowClient(int port, bool drip, std::chrono::milliseconds pause);
    ~SlowClient();
    SlowClient(const SlowClient&) = delete;
    SlowClient& operator=(const SlowClient&) = delete;

    // Whether the server has closed the connection (seen by a read or a failed send).
    bool Closed() const { return closed_; }
    bool Connected() const { return connected_; }

private:
    void Run(int port, bool drip, std::chrono::milliseconds pause);
    std::atomic<bool> connected_{false};
    std::atomic<bool> closed_{false};
    std::atomic<bool> stop_{false};
    int fd_ = -1;
    std::thread thread_;
};

}  // namespace zonbode::live::testing
