#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "net/Diagnostics.h"
#include "net/EventLoop.h"
#include "net/SocketApi.h"

namespace zonbode::net::testing {

// One notification as the window procedure saw it.
struct Note {
    sys::WindowHandle window = 0;
    std::uint32_t message = 0;
    std::intptr_t wParam = 0;
    std::int32_t event = 0;  // low word of lParam
    std::int32_t error = 0;  // high word of lParam
};

// A notification window whose procedure records every message, plus helpers that make real
// loopback sockets with the sys:: calls themselves.
class SocketApiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static std::vector<Note>& Notes();
    // Runs inside the window procedure, after the note is recorded.
    static std::function<void(const Note&)>& OnNote();
    static std::intptr_t RecordingProc(sys::WindowHandle window, std::uint32_t message,
                                       std::intptr_t wParam, std::intptr_t lParam);

    static bool WaitFor(const std::function<bool()>& condition,
                        std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Lets the loop run for a while, to show that nothing more arrives.
    static void Settle(std::chrono::milliseconds time = std::chrono::milliseconds(300));

    int Count(sys::Handle socket, std::int32_t event) const;
    std::vector<Note> NotesFor(sys::Handle socket) const;

    sys::Handle Track(sys::Handle socket);
    void Forget(sys::Handle socket);
    // A TCP socket listening on 127.0.0.1 at a system-chosen port.
    sys::Handle MakeListener(sys::SockAddrIn* address);
    // A TCP client subscribed to every event, with its connect issued.
    sys::Handle ConnectSubscribed(const sys::SockAddrIn& to);
    // A connected pair: the client subscribed to every event, the server side blocking.
    void MakeConnectedPair(sys::Handle* client, sys::Handle* server);

    static sys::SockAddrIn Loopback(std::uint16_t portInNetworkOrder);

    sys::WindowHandle window_ = 0;
    std::vector<sys::Handle> sockets_;
};

}  // namespace zonbode::net::testing
