#pragma once

// Shared pieces of the socket object's tests: the loop with generous timeouts, peers built
// from the network calls of SocketApi.h (so the same tests run on every backend), and a
// recorder of the events an object raises.

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/CNetSocket.h"
#include "net/Diagnostics.h"
#include "net/EventLoop.h"
#include "net/RaisedError.h"
#include "net/SocketApi.h"
#include "net/modNetSocket.h"

namespace zonbode::net::testing {

inline constexpr std::chrono::milliseconds kTimeout{20000};

inline constexpr const char* kOutOfRange =
    "The argument passed to a function was not in the correct format or in the specified "
    "range.";

// Runs the call and returns the error it raised (number 0 when it raised nothing).
inline RaisedError Raised(const std::function<void()>& call) {
    try {
        call();
    } catch (const RaisedError& error) {
        return error;
    }
    return RaisedError(0, "", "");
}

// Runs the loop until done() holds; false after the (generous) timeout.
inline bool RunUntil(const std::function<bool()>& done,
                     std::chrono::milliseconds timeout = kTimeout) {
    return EventLoop::RunUntil(done, timeout);
}

// Runs the loop for a short while, for checks that something does NOT happen.
inline void RunFor(std::chrono::milliseconds duration) {
    EventLoop::RunUntil([] { return false; }, duration);
}

inline std::uint32_t Loopback() {
    return sys::InetAddr("127.0.0.1");
}

inline sys::SockAddrIn Endpoint(std::uint32_t address, int port) {
    sys::SockAddrIn addr;
    addr.family = sys::kAfInet;
    addr.addr = address;
    addr.port = sys::HostToNetShort(static_cast<std::uint16_t>(port));
    return addr;
}

inline int PortOf(sys::Handle handle) {
    sys::SockAddrIn name;
    if (sys::GetSockName(handle, &name) != 0) {
        return -1;
    }
    return sys::NetToHostShort(name.port);
}

// A blocking peer socket. Closed when it goes out of scope.
class PeerSocket {
public:
    PeerSocket() = default;
    explicit PeerSocket(sys::Handle handle) : handle_(handle) {}
    PeerSocket(PeerSocket&& other) noexcept : handle_(other.handle_) {
        other.handle_ = sys::kInvalidSocket;
    }
    PeerSocket& operator=(PeerSocket&& other) noexcept {
        Close();
        handle_ = other.handle_;
        other.handle_ = sys::kInvalidSocket;
        return *this;
    }
    ~PeerSocket() { Close(); }

    sys::Handle Handle() const { return handle_; }
    bool Valid() const { return handle_ != sys::kInvalidSocket; }
    void Close() {
        if (handle_ != sys::kInvalidSocket) {
            sys::CloseSocket(handle_);
            handle_ = sys::kInvalidSocket;
        }
    }
    int Port() const { return PortOf(handle_); }

    bool SendAll(const std::string& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const int n =
                sys::Send(handle_, bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
            if (n <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    // Reads until `count` bytes came or the connection ended.
    std::string RecvExactly(std::size_t count) const {
        std::string out;
        char buffer[65536];
        while (out.size() < count) {
            const std::size_t want = std::min(sizeof buffer, count - out.size());
            const int n = sys::Recv(handle_, buffer, static_cast<int>(want), 0);
            if (n <= 0) {
                break;
            }
            out.append(buffer, static_cast<std::size_t>(n));
        }
        return out;
    }

    // Reads until the other side closes (or fails); returns everything read.
    std::string RecvUntilClosed() const {
        std::string out;
        char buffer[65536];
        for (;;) {
            const int n = sys::Recv(handle_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                return out;
            }
            out.append(buffer, static_cast<std::size_t>(n));
        }
    }

private:
    sys::Handle handle_ = sys::kInvalidSocket;
};

// A listening TCP peer on 127.0.0.1 with a system-chosen port.
inline PeerSocket ListeningPeer() {
    PeerSocket peer(sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp));
    EXPECT_TRUE(peer.Valid());
    EXPECT_EQ(sys::Bind(peer.Handle(), Endpoint(Loopback(), 0)), 0);
    EXPECT_EQ(sys::Listen(peer.Handle(), 16), 0);
    return peer;
}

// Accepts one connection (blocking; call once the connection is known to be there).
inline PeerSocket AcceptPeer(const PeerSocket& listener) {
    sys::SockAddrIn from;
    return PeerSocket(sys::Accept(listener.Handle(), &from));
}

// A TCP peer connected (blocking) to 127.0.0.1:port.
inline PeerSocket ConnectedPeer(int port) {
    PeerSocket peer(sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp));
    EXPECT_TRUE(peer.Valid());
    EXPECT_EQ(sys::Connect(peer.Handle(), Endpoint(Loopback(), port)), 0);
    return peer;
}

// A UDP peer bound to 127.0.0.1 with a system-chosen port.
inline PeerSocket DatagramPeer() {
    PeerSocket peer(sys::Socket(sys::kAfInet, sys::kSockDgram, sys::kIpprotoUdp));
    EXPECT_TRUE(peer.Valid());
    EXPECT_EQ(sys::Bind(peer.Handle(), Endpoint(Loopback(), 0)), 0);
    return peer;
}

// A port on which nothing listens: bound, then closed again.
inline int UnusedPort() {
    PeerSocket probe(sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp));
    sys::Bind(probe.Handle(), Endpoint(Loopback(), 0));
    return probe.Port();
}

// Whether the Windows build runs under wine, whose sockets differ from Windows' in places.
inline bool UnderWine() {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// Waits, without handling anything, until the condition holds; false after the timeout.
inline bool WaitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kTimeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Waits, without handling anything, until the next network event queued for the window is
// `event` for the handle.
inline bool WaitUntilQueued(sys::WindowHandle window, sys::Handle handle, std::int32_t event) {
    const auto deadline = std::chrono::steady_clock::now() + kTimeout;
    for (;;) {
        std::intptr_t wParam = 0;
        std::intptr_t lParam = 0;
        if (sys::PeekNotification(window, sys::kSocketEventMessage, &wParam, &lParam) &&
            wParam == handle && (lParam & 0xFFFF) == event) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// The same for the runtime's own window.
inline bool WaitUntilQueued(sys::Handle handle, std::int32_t event) {
    return WaitUntilQueued(modNetSocket::WindowHandle(), handle, event);
}

// Makes the system hand out `handle` to the next socket created. Both backends give a new
// socket the lowest free number, so the free numbers below it are taken (and kept until this
// goes) first.
class NextSocketGets {
public:
    explicit NextSocketGets(sys::Handle handle) {
        for (int i = 0; i < 256; ++i) {
            PeerSocket probe(sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp));
            if (!probe.Valid() || probe.Handle() == handle) {
                ready_ = probe.Valid();
                return;  // the probe closes again and leaves the number free
            }
            fillers_.push_back(std::move(probe));
        }
    }
    bool Ready() const { return ready_; }

private:
    std::vector<PeerSocket> fillers_;
    bool ready_ = false;
};

// Records the events of one object as short texts, in order.
struct EventLog {
    std::vector<std::string> entries;
    std::vector<ErrorEventArgs> errors;
    std::int64_t sendCompletes = 0;

    void Attach(CNetSocket& socket) {
        socket.Events.Connect = [this] { entries.push_back("Connect"); };
        socket.Events.CloseSck = [this] { entries.push_back("CloseSck"); };
        socket.Events.DataArrival = [this](std::int32_t total) {
            entries.push_back("DataArrival " + std::to_string(total));
        };
        socket.Events.Error = [this](ErrorEventArgs& args) {
            entries.push_back("Error " + std::to_string(args.Number));
            errors.push_back(args);
        };
        socket.Events.SendProgress = [this](std::int32_t sent, std::int32_t remaining) {
            entries.push_back("SendProgress " + std::to_string(sent) + " " +
                              std::to_string(remaining));
        };
        socket.Events.SendComplete = [this] {
            entries.push_back("SendComplete");
            ++sendCompletes;
        };
        socket.Events.ConnectionRequest = [this](std::int32_t id) {
            entries.push_back("ConnectionRequest " + std::to_string(id));
        };
    }
    bool Has(const std::string& entry) const {
        return std::find(entries.begin(), entries.end(), entry) != entries.end();
    }
    std::size_t Count(const std::string& prefix) const {
        std::size_t n = 0;
        for (const auto& e : entries) {
            if (e.rfind(prefix, 0) == 0) {
                ++n;
            }
        }
        return n;
    }
};

// Starts and stops the network service around each test, for the peers' own calls; holds
// the log of the test's own object.
class SocketTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(sys::Startup(0x0101), 0); }
    void TearDown() override { sys::Cleanup(); }

    // A fresh object whose events go to `log`.
    std::shared_ptr<CNetSocket> LoggedSocket() {
        auto socket = CNetSocket::Create();
        log.Attach(*socket);
        return socket;
    }

    // A TCP object connected to a fresh listening peer; `peer` is the accepted side.
    std::shared_ptr<CNetSocket> ConnectedPair(PeerSocket& peer) {
        return ConnectTo(CNetSocket::Create(), peer);
    }

    // The same, its events (the Connect included) going to `log`.
    std::shared_ptr<CNetSocket> LoggedPair(PeerSocket& peer) {
        return ConnectTo(LoggedSocket(), peer);
    }

    EventLog log;

private:
    static std::shared_ptr<CNetSocket> ConnectTo(std::shared_ptr<CNetSocket> socket,
                                                 PeerSocket& peer) {
        PeerSocket listener = ListeningPeer();
        socket->Connect(Variant("127.0.0.1"), Variant(listener.Port()));
        EXPECT_TRUE(RunUntil([&] { return socket->State() == sckConnected; }));
        peer = AcceptPeer(listener);
        return socket;
    }
};

}  // namespace zonbode::net::testing
