#include "net/SocketApiFixture.h"

#include <algorithm>

namespace zonbode::net::testing {

std::vector<Note>& SocketApiTest::Notes() {
    static std::vector<Note> notes;
    return notes;
}

std::function<void(const Note&)>& SocketApiTest::OnNote() {
    static std::function<void(const Note&)> onNote;
    return onNote;
}

std::intptr_t SocketApiTest::RecordingProc(sys::WindowHandle window, std::uint32_t message,
                                           std::intptr_t wParam, std::intptr_t lParam) {
    auto bits = static_cast<std::uint32_t>(lParam);
    Note note{window, message, wParam, static_cast<std::int32_t>(bits & 0xFFFF),
              static_cast<std::int32_t>(bits >> 16)};
    Notes().push_back(note);
    if (OnNote()) {
        OnNote()(note);
    }
    return 0;
}

void SocketApiTest::SetUp() {
    Notes().clear();
    OnNote() = nullptr;
    ASSERT_EQ(0, sys::Startup(0x0101));
    window_ = sys::CreateNotificationWindow();
    ASSERT_NE(0, window_);
    ASSERT_NE(0, sys::SetWindowProc(window_, &RecordingProc));
}

void SocketApiTest::TearDown() {
    OnNote() = nullptr;
    for (sys::Handle s : sockets_) {
        sys::CloseSocket(s);
    }
    sockets_.clear();
    if (window_ != 0) {
        sys::DestroyNotificationWindow(window_);
    }
    sys::Cleanup();
}

bool SocketApiTest::WaitFor(const std::function<bool()>& condition,
                            std::chrono::milliseconds timeout) {
    return EventLoop::RunUntil(condition, timeout);
}

void SocketApiTest::Settle(std::chrono::milliseconds time) {
    EventLoop::RunUntil([] { return false; }, time);
}

int SocketApiTest::Count(sys::Handle socket, std::int32_t event) const {
    return static_cast<int>(std::count_if(Notes().begin(), Notes().end(), [&](const Note& n) {
        return n.message == sys::kSocketEventMessage && n.wParam == socket && n.event == event;
    }));
}

std::vector<Note> SocketApiTest::NotesFor(sys::Handle socket) const {
    std::vector<Note> result;
    for (const Note& n : Notes()) {
        if (n.message == sys::kSocketEventMessage && n.wParam == socket) {
            result.push_back(n);
        }
    }
    return result;
}

sys::Handle SocketApiTest::Track(sys::Handle socket) {
    EXPECT_NE(sys::kInvalidSocket, socket) << "error " << sys::LastError();
    if (socket != sys::kInvalidSocket) {
        sockets_.push_back(socket);
    }
    return socket;
}

void SocketApiTest::Forget(sys::Handle socket) {
    std::erase(sockets_, socket);
}

sys::SockAddrIn SocketApiTest::Loopback(std::uint16_t portInNetworkOrder) {
    sys::SockAddrIn address;
    address.port = portInNetworkOrder;
    address.addr = sys::InetAddr("127.0.0.1");
    return address;
}

sys::Handle SocketApiTest::MakeListener(sys::SockAddrIn* address) {
    sys::Handle s = Track(sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp));
    EXPECT_EQ(0, sys::Bind(s, Loopback(0)));
    EXPECT_EQ(0, sys::Listen(s, 5));
    EXPECT_EQ(0, sys::GetSockName(s, address));
    return s;
}

sys::Handle SocketApiTest::ConnectSubscribed(const sys::SockAddrIn& to) {
    sys::Handle s = Track(sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp));
    EXPECT_EQ(0, sys::AsyncSelect(s, window_, sys::kSocketEventMessage, sys::kEventMask));
    if (sys::Connect(s, to) != 0) {
        EXPECT_EQ(10035, sys::LastError());
    }
    return s;
}

void SocketApiTest::MakeConnectedPair(sys::Handle* client, sys::Handle* server) {
    sys::SockAddrIn address;
    sys::Handle listener = MakeListener(&address);
    *client = ConnectSubscribed(address);
    ASSERT_TRUE(WaitFor([&] { return Count(*client, sys::FD_CONNECT) == 1; }));
    *server = Track(sys::Accept(listener, nullptr));
    Forget(listener);
    sys::CloseSocket(listener);
}

}  // namespace zonbode::net::testing
