// Asynchronous selection emulated over epoll, with the re-arming rules of window-message
// notification: FD_READ once per receive call while data waits, FD_WRITE once after a
// connect and after a send that would block, one FD_CONNECT with its error, FD_CLOSE only
// when no unread data remains, FD_ACCEPT once per accept call while connections wait.
//
// Each socket's current readiness is read with poll() when something may have changed,
// and epoll watches only what could produce the next event, so a socket whose event is
// already queued never keeps the loop awake.

#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "net/WindowsSocketsCodes.h"
#include "net/posix/Endpoint.h"

namespace zonbode::net::posix {
namespace {

enum class Phase { Idle, Connecting, Connected, Listening, Failed };

struct SocketRecord {
    bool datagram = false;
    sys::WindowHandle window = 0;  // 0: not subscribed
    std::uint32_t message = 0;
    std::int32_t events = 0;
    Phase phase = Phase::Idle;
    bool readArmed = true;
    bool writeArmed = false;
    bool acceptArmed = true;
    bool acceptBackedOff = false;  // accept found no descriptor: waiting for one to be freed
    bool closeReported = false;
    int brokenCode = 0;  // a reset seen by a send or receive call, for the FD_CLOSE
    std::uint32_t watched = 0;
    bool inEpoll = false;
};

std::unordered_map<sys::Handle, SocketRecord>& Records() {
    static auto* records = new std::unordered_map<sys::Handle, SocketRecord>;
    return *records;
}

SocketRecord* Find(sys::Handle socket) {
    auto& records = Records();
    auto it = records.find(socket);
    return it == records.end() ? nullptr : &it->second;
}

// While accept cannot get a descriptor the connection stays queued and the listener readable:
// re-arming FD_ACCEPT at once would spin. A backed-off listener is armed again when a socket
// of the process closes, or when this timer (in the epoll set, so every loop wakes for it)
// runs out. It is opened with the first listener, while descriptors are still to be had.
constexpr long kAcceptRetryNs = 250'000'000;

int& RetryTimer() {
    static int timer = -1;
    return timer;
}

void OpenRetryTimer() {
    int& timer = RetryTimer();
    if (timer >= 0 || EpollDescriptor() < 0) {
        return;
    }
    const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    if (fd < 0) {
        return;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    if (epoll_ctl(EpollDescriptor(), EPOLL_CTL_ADD, fd, &event) != 0) {
        close(fd);
        return;
    }
    timer = fd;
}

// False when there is no timer to wake the loop: the listener is then armed at once.
bool StartRetryTimer() {
    if (RetryTimer() < 0) {
        return false;
    }
    itimerspec when{};
    when.it_value.tv_nsec = kAcceptRetryNs;
    return timerfd_settime(RetryTimer(), 0, &when, nullptr) == 0;
}

void Reevaluate(sys::Handle socket);

int& BackedOffCount() {
    static int count = 0;
    return count;
}

void RetryBackedOffListeners() {
    if (BackedOffCount() == 0) {
        return;
    }
    BackedOffCount() = 0;
    std::vector<sys::Handle> listeners;
    for (auto& [socket, record] : Records()) {
        if (record.acceptBackedOff) {
            record.acceptBackedOff = false;
            record.acceptArmed = true;
            listeners.push_back(socket);
        }
    }
    for (const sys::Handle listener : listeners) {
        Reevaluate(listener);
    }
}

// Has epoll watch `wanted` for the socket (nothing: not at all). 0, or the errno with which
// epoll refused; the socket is then not watched at all.
int Watch(sys::Handle socket, SocketRecord& record, std::uint32_t wanted) {
    if (wanted == 0) {
        if (record.inEpoll) {
            epoll_ctl(EpollDescriptor(), EPOLL_CTL_DEL, socket, nullptr);
            record.inEpoll = false;
        }
        record.watched = 0;
        return 0;
    }
    if (record.inEpoll && record.watched == wanted) {
        return 0;
    }
    epoll_event event{};
    event.events = wanted;
    event.data.fd = socket;
    if (epoll_ctl(EpollDescriptor(), record.inEpoll ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, socket,
                  &event) != 0) {
        const int error = errno;
        if (record.inEpoll) {
            epoll_ctl(EpollDescriptor(), EPOLL_CTL_DEL, socket, nullptr);
        }
        record.inEpoll = false;
        record.watched = 0;
        return error;
    }
    record.inEpoll = true;
    record.watched = wanted;
    return 0;
}

int TakeSocketError(sys::Handle socket) {
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
        return 0;
    }
    return error;
}

void Post(sys::Handle socket, const SocketRecord& record, std::int32_t event, int code) {
    if ((record.events & event) == 0) {
        return;
    }
    auto lParam = static_cast<std::intptr_t>(static_cast<std::uint32_t>(event) |
                                             (static_cast<std::uint32_t>(code) << 16));
    PostMessage({record.window, record.message, socket, lParam, 0, socket});
}

short CurrentReadiness(sys::Handle socket) {
    pollfd p{socket, POLLIN | POLLOUT | POLLRDHUP, 0};
    if (poll(&p, 1, 0) <= 0) {
        return 0;
    }
    return p.revents;
}

std::uint32_t EvaluateDatagram(sys::Handle socket, SocketRecord& r, short ready) {
    if (ready & POLLERR) {
        TakeSocketError(socket);  // an ICMP report; receive calls are not failed by it
    }
    if (r.readArmed && (ready & POLLIN)) {
        Post(socket, r, sys::FD_READ, 0);
        r.readArmed = false;
    }
    if (r.writeArmed && (ready & POLLOUT)) {
        Post(socket, r, sys::FD_WRITE, 0);
        r.writeArmed = false;
    }
    return (r.readArmed ? EPOLLIN : 0u) | (r.writeArmed ? EPOLLOUT : 0u);
}

std::uint32_t EvaluateConnected(sys::Handle socket, SocketRecord& r, short ready) {
    if (r.closeReported) {
        return 0;
    }
    bool dataWaits = false;
    if (ready & POLLIN) {
        int pending = 0;
        dataWaits = ioctl(socket, FIONREAD, &pending) == 0 && pending > 0;
    }
    bool broken = (ready & (POLLERR | POLLHUP)) != 0;
    if (r.readArmed && dataWaits) {
        Post(socket, r, sys::FD_READ, 0);
        r.readArmed = false;
    }
    if (r.writeArmed && (ready & POLLOUT) && !broken) {
        Post(socket, r, sys::FD_WRITE, 0);
        r.writeArmed = false;
    }
    if (!dataWaits && (broken || (ready & POLLRDHUP))) {
        int error = TakeSocketError(socket);
        if (error == EPIPE) {
            // A reset after the peer's own close (Linux reports it so only then): everything
            // the peer sent has arrived, so the close stays the clean one it was.
            error = 0;
        }
        int code = error != 0 ? WsaCodeFromErrno(error) : r.brokenCode;
        Post(socket, r, sys::FD_CLOSE, code);
        r.closeReported = true;
        return 0;
    }
    if (broken) {
        return 0;  // the close follows once the reader has taken the data
    }
    return (r.readArmed ? EPOLLIN | EPOLLRDHUP : 0u) | (r.writeArmed ? EPOLLOUT : 0u);
}

// Turns the socket's readiness into the events now due and watches for the next ones.
// 0, or the errno with which epoll refused the watch.
int Evaluate(sys::Handle socket) {
    SocketRecord* r = Find(socket);
    if (r == nullptr) {
        return 0;
    }
    if (r->window == 0) {
        return Watch(socket, *r, 0);
    }
    short ready = CurrentReadiness(socket);
    std::uint32_t wanted = 0;
    if (r->datagram) {
        wanted = EvaluateDatagram(socket, *r, ready);
    } else {
        switch (r->phase) {
            case Phase::Idle:
            case Phase::Failed:
                break;
            case Phase::Listening:
                if (r->acceptArmed && (ready & POLLIN)) {
                    Post(socket, *r, sys::FD_ACCEPT, 0);
                    r->acceptArmed = false;
                }
                wanted = r->acceptArmed ? EPOLLIN : 0u;
                break;
            case Phase::Connecting:
                if (ready & (POLLOUT | POLLERR | POLLHUP)) {
                    int error = TakeSocketError(socket);
                    int code = error != 0 ? WsaCodeFromErrno(error)
                                          : ((ready & POLLOUT) ? 0 : WsaCode("WSAECONNREFUSED"));
                    Post(socket, *r, sys::FD_CONNECT, code);
                    if (code != 0) {
                        r->phase = Phase::Failed;
                        break;
                    }
                    r->phase = Phase::Connected;
                    r->readArmed = true;
                    r->writeArmed = true;
                    wanted = EvaluateConnected(socket, *r, ready);
                } else {
                    wanted = EPOLLOUT;
                }
                break;
            case Phase::Connected:
                wanted = EvaluateConnected(socket, *r, ready);
                break;
        }
    }
    return Watch(socket, *r, wanted);
}

// A socket whose next events epoll refused to watch would fall silent: its owner gets the
// refusal as the error of its main event instead, and the socket is unsubscribed.
void Reevaluate(sys::Handle socket) {
    const int error = Evaluate(socket);
    if (error == 0) {
        return;
    }
    SocketRecord* r = Find(socket);
    if (r == nullptr) {
        return;
    }
    const std::int32_t event = r->datagram                    ? sys::FD_READ
                               : r->phase == Phase::Listening ? sys::FD_ACCEPT
                                                              : sys::FD_CLOSE;
    Post(socket, *r, event, WsaCodeFromErrno(error));
    r->window = 0;
    if (!r->datagram) {
        r->phase = Phase::Failed;
    }
}

}  // namespace

void GatherReadiness(int timeoutMs) {
    if (!EnsureQueue()) {
        poll(nullptr, 0, timeoutMs);  // nothing can be ready; the loop's timers still wait
        return;
    }
    std::array<epoll_event, 64> ready{};
    int n = epoll_wait(EpollDescriptor(), ready.data(), static_cast<int>(ready.size()), timeoutMs);
    for (int i = 0; i < n; ++i) {
        if (ready[i].data.fd == WakeDescriptor()) {
            ClearWakeIfIdle();
        } else if (ready[i].data.fd == RetryTimer()) {
            std::uint64_t expirations = 0;
            [[maybe_unused]] const ssize_t n = read(RetryTimer(), &expirations, sizeof expirations);
            RetryBackedOffListeners();
        } else {
            Reevaluate(ready[i].data.fd);
        }
    }
}

void NoteSocketCreated(sys::Handle socket, bool datagram) {
    SocketRecord record;
    record.datagram = datagram;
    Records()[socket] = record;
}

void NoteSocketClosed(sys::Handle socket) {
    if (SocketRecord* r = Find(socket)) {
        if (r->acceptBackedOff) {
            --BackedOffCount();
        }
        Watch(socket, *r, 0);
        Records().erase(socket);
    }
    DropSocketMessages(socket);
    RetryBackedOffListeners();  // a descriptor is free now
}

bool IsDatagramSocket(sys::Handle socket) {
    SocketRecord* r = Find(socket);
    return r != nullptr && r->datagram;
}

bool IsSubscribed(sys::Handle socket) {
    SocketRecord* r = Find(socket);
    return r != nullptr && r->window != 0;
}

void NoteConnectStarted(sys::Handle socket, bool completed) {
    if (SocketRecord* r = Find(socket); r != nullptr && !r->datagram) {
        if (completed && r->window == 0) {
            // Not subscribed yet: a later subscription must not report this connect.
            r->phase = Phase::Connected;
            r->writeArmed = true;
            return;
        }
        // A connect that completed at once is still reported by FD_CONNECT.
        r->phase = Phase::Connecting;
        Reevaluate(socket);
    }
}

void NoteListening(sys::Handle socket) {
    OpenRetryTimer();
    if (SocketRecord* r = Find(socket); r != nullptr && !r->datagram) {
        r->phase = Phase::Listening;
        r->acceptArmed = true;
        Reevaluate(socket);
    }
}

void NoteAcceptCalled(sys::Handle listener, bool outOfDescriptors) {
    if (SocketRecord* r = Find(listener)) {
        if (outOfDescriptors && StartRetryTimer()) {
            r->acceptArmed = false;
            if (!r->acceptBackedOff) {
                r->acceptBackedOff = true;
                ++BackedOffCount();
            }
        } else {
            r->acceptArmed = true;
        }
        Reevaluate(listener);
    }
}

void NoteAccepted(sys::Handle listener, sys::Handle accepted) {
    SocketRecord record;
    record.phase = Phase::Connected;
    record.writeArmed = true;
    if (SocketRecord* l = Find(listener)) {
        record.window = l->window;
        record.message = l->message;
        record.events = l->events;
    }
    Records()[accepted] = record;
    Reevaluate(accepted);
}

void NoteReceiveCalled(sys::Handle socket) {
    SocketRecord* r = Find(socket);
    if (r == nullptr) {
        return;
    }
    r->readArmed = true;
    if (r->window != 0 && !r->datagram && r->phase == Phase::Connected && !r->closeReported) {
        // The common case of a reader behind a fast sender: data still waits, so the next
        // FD_READ goes out at once and nothing else can be due.
        int pending = 0;
        if (ioctl(socket, FIONREAD, &pending) == 0 && pending > 0) {
            Post(socket, *r, sys::FD_READ, 0);
            r->readArmed = false;
            return;
        }
    }
    Reevaluate(socket);
}

void NoteSendWouldBlock(sys::Handle socket) {
    if (SocketRecord* r = Find(socket)) {
        r->writeArmed = true;
        Reevaluate(socket);
    }
}

void NoteConnectionBroken(sys::Handle socket, int wsaCode) {
    if (SocketRecord* r = Find(socket)) {
        r->brokenCode = wsaCode;
    }
}

int Subscribe(sys::Handle socket, sys::WindowHandle window, std::uint32_t message,
              std::int32_t events) {
    SocketRecord* r = Find(socket);
    if (r == nullptr) {
        SetLastError(WsaCode("WSAENOTSOCK"));
        return sys::kSocketError;
    }
    if (window == 0 && events != 0) {
        SetLastError(WsaCode("WSAEINVAL"));  // events need a window to go to
        return sys::kSocketError;
    }
    if (!EnsureQueue()) {
        return sys::kSocketError;
    }
    int flags = fcntl(socket, F_GETFL);
    if (flags < 0 || fcntl(socket, F_SETFL, flags | O_NONBLOCK) < 0) {
        return FailFromErrno();
    }
    r->window = events != 0 ? window : 0;
    r->message = message;
    r->events = events;
    r->readArmed = true;
    r->acceptArmed = true;
    if (!r->datagram && r->phase == Phase::Idle) {
        int listening = 0;
        socklen_t length = sizeof listening;
        sockaddr_storage peer{};
        socklen_t peerLength = sizeof peer;
        if (getsockopt(socket, SOL_SOCKET, SO_ACCEPTCONN, &listening, &length) == 0 &&
            listening != 0) {
            r->phase = Phase::Listening;
        } else if (getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &peerLength) == 0) {
            r->phase = Phase::Connected;
            r->writeArmed = true;
        }
    }
    if (const int error = Evaluate(socket); error != 0) {
        // Not subscribed after all: nothing of it is delivered.
        r->window = 0;
        DropSocketMessages(socket);
        SetLastError(WsaCodeFromErrno(error));
        return sys::kSocketError;
    }
    return 0;
}

}  // namespace zonbode::net::posix

namespace zonbode::net::sys {

int AsyncSelect(Handle s, WindowHandle window, std::uint32_t message, std::int32_t events) {
    return posix::Subscribe(s, window, message, events);
}

}  // namespace zonbode::net::sys
