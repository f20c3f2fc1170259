// Network events reported by window message (WSAAsyncSelect).

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "net/SocketApi.h"
#include "net/win32/AsyncSelect.h"

namespace zonbode::net::win32 {
namespace {

// Where a socket's events go.
struct Subscription {
    HWND window;
    UINT message;
    long events;
    bool acceptBackedOff = false;  // accept found no descriptor or buffer: see below
};

// A socket number closed while its events may still be queued for the window: they are
// dropped until the marker of its latest close (the number's generation) comes through.
struct ClosedNumber {
    HWND window;
    UINT message;
    SOCKET socket;
    std::uint32_t generation;
};

struct Selections {
    std::unordered_map<SOCKET, Subscription> subscribed;
    std::vector<ClosedNumber> closed;  // a few at most, searched linearly
};

Selections& TheSelections() {
    static auto* selections = new Selections;
    return *selections;
}

UINT ClosedMarker() {
    static const UINT marker = RegisterWindowMessageA("Zonbode.SocketClosed");
    return marker;
}

// While accept finds no descriptor or buffer the connection stays queued, and Winsock posts
// FD_ACCEPT again after every accept call: answering each would spin. A backed-off listener's
// FD_ACCEPTs are dropped until a socket of the process closes or the retry timer on its window
// runs out. Then a marker is posted behind the FD_ACCEPTs already queued, and when it comes
// through the listener is subscribed again, so that Winsock posts one fresh FD_ACCEPT if the
// connection still waits.
constexpr UINT_PTR kAcceptRetryTimer = 0x5A4F;
constexpr UINT kAcceptRetryMs = 250;

UINT AcceptRetryMarker() {
    static const UINT marker = RegisterWindowMessageA("Zonbode.AcceptRetry");
    return marker;
}

// Posts the marker for every backed-off listener (of `window`; nullptr: of every window).
void RetryBackedOffListeners(HWND window) {
    for (const auto& [socket, subscription] : TheSelections().subscribed) {
        if (subscription.acceptBackedOff && (window == nullptr || subscription.window == window)) {
            PostMessageA(subscription.window, AcceptRetryMarker(), socket, 0);
        }
    }
}

// The marker came through: everything the listener's failed accepts caused is behind it.
void RearmListener(HWND window, SOCKET listener) {
    auto& subscribed = TheSelections().subscribed;
    auto it = subscribed.find(listener);
    if (it == subscribed.end() || it->second.window != window || !it->second.acceptBackedOff) {
        return;  // closed meanwhile, or already armed by an earlier marker
    }
    it->second.acceptBackedOff = false;
    WSAAsyncSelect(listener, window, it->second.message, it->second.events);
}

bool IsBackedOffAccept(HWND window, UINT message, SOCKET socket, LPARAM lParam) {
    if (WSAGETSELECTEVENT(lParam) != FD_ACCEPT) {
        return false;
    }
    const auto& subscribed = TheSelections().subscribed;
    auto it = subscribed.find(socket);
    return it != subscribed.end() && it->second.acceptBackedOff && it->second.window == window &&
           it->second.message == message;
}

ClosedNumber* FindClosed(HWND window, SOCKET socket) {
    for (auto& closed : TheSelections().closed) {
        if (closed.window == window && closed.socket == socket) {
            return &closed;
        }
    }
    return nullptr;
}

bool IsEventMessage(HWND window, UINT message) {
    for (const auto& [socket, subscription] : TheSelections().subscribed) {
        if (subscription.window == window && subscription.message == message) {
            return true;
        }
    }
    for (const auto& closed : TheSelections().closed) {
        if (closed.window == window && closed.message == message) {
            return true;
        }
    }
    return false;
}

bool RunningUnderWine() {
    static const bool wine = [] {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

}  // namespace

void NoteSocketClosed(SOCKET socket) {
    RetryBackedOffListeners(nullptr);  // a descriptor is free now
    auto& selections = TheSelections();
    auto it = selections.subscribed.find(socket);
    if (it == selections.subscribed.end()) {
        return;
    }
    const Subscription subscription = it->second;
    selections.subscribed.erase(it);
    ClosedNumber* closed = FindClosed(subscription.window, socket);
    const std::uint32_t generation = closed != nullptr ? closed->generation + 1 : 1;
    if (!PostMessageA(subscription.window, ClosedMarker(), socket,
                      static_cast<LPARAM>(generation))) {
        return;  // the window is gone, and its queue with it
    }
    if (closed != nullptr) {
        closed->generation = generation;
    } else {
        selections.closed.push_back(
            {subscription.window, subscription.message, socket, generation});
    }
}

void NoteSocketAccepted(SOCKET listener, SOCKET accepted) {
    auto& subscribed = TheSelections().subscribed;
    if (auto it = subscribed.find(listener); it != subscribed.end()) {
        Subscription subscription = it->second;
        subscription.acceptBackedOff = false;
        subscribed[accepted] = subscription;
    }
}

void Resubscribe(SOCKET socket) {
    auto& subscribed = TheSelections().subscribed;
    if (auto it = subscribed.find(socket); it != subscribed.end()) {
        WSAAsyncSelect(socket, it->second.window, it->second.message, it->second.events);
    }
}

void NoteAcceptFailed(SOCKET listener, int error) {
    if (!sys::IsOutOfDescriptorsOrBuffers(error)) {
        return;
    }
    auto& subscribed = TheSelections().subscribed;
    auto it = subscribed.find(listener);
    // Without a timer to end it the back-off could last for good: the listener stays armed.
    if (it == subscribed.end() ||
        SetTimer(it->second.window, kAcceptRetryTimer, kAcceptRetryMs, nullptr) == 0) {
        return;
    }
    it->second.acceptBackedOff = true;
}

void ForgetWindow(HWND window) {
    std::erase_if(TheSelections().closed,
                  [window](const ClosedNumber& closed) { return closed.window == window; });
}

bool AcceptEventReport(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto socket = static_cast<SOCKET>(wParam);
    if (message == WM_TIMER && wParam == kAcceptRetryTimer) {
        KillTimer(window, kAcceptRetryTimer);
        RetryBackedOffListeners(window);
        return false;
    }
    if (message == AcceptRetryMarker()) {
        RearmListener(window, socket);
        return false;
    }
    if (IsBackedOffAccept(window, message, socket, lParam)) {
        return false;
    }
    if (message == ClosedMarker()) {
        // Past the latest close's marker, the number's events are its new socket's.
        const auto generation = static_cast<std::uint32_t>(lParam);
        std::erase_if(TheSelections().closed, [&](const ClosedNumber& closed) {
            return closed.window == window && closed.socket == socket &&
                   closed.generation == generation;
        });
        return false;
    }
    const ClosedNumber* closed = FindClosed(window, socket);
    return closed == nullptr || closed->message != message;
}

LPARAM CompleteEventReport(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (WSAGETSELECTEVENT(lParam) != FD_CLOSE || WSAGETSELECTERROR(lParam) != 0) {
        return lParam;
    }
    if (!IsEventMessage(window, message)) {
        return lParam;
    }
    // Windows itself reports a reset with its FD_CLOSE, so there an error-free one is a clean
    // close, even when a reset followed it before it was handled (the page came whole). Only
    // wine reports resets as plain closes, and it cannot tell the two apart afterwards.
    if (!RunningUnderWine()) {
        return lParam;
    }
    // A peer that closed in good order leaves the connection half open, so it still has a
    // peer; a reset one has none any more.
    sockaddr_in peer;
    std::memset(&peer, 0, sizeof peer);
    int length = sizeof peer;
    if (getpeername(static_cast<SOCKET>(wParam), reinterpret_cast<sockaddr*>(&peer), &length) !=
            SOCKET_ERROR ||
        WSAGetLastError() != WSAENOTCONN) {
        return lParam;
    }
    return WSAMAKESELECTREPLY(FD_CLOSE, WSAECONNRESET);
}

}  // namespace zonbode::net::win32

namespace zonbode::net::sys {

int AsyncSelect(Handle s, WindowHandle window, std::uint32_t message, std::int32_t events) {
    const int result = WSAAsyncSelect(win32::ToSocket(s), win32::ToWindow(window), message, events);
    if (result != SOCKET_ERROR && events != 0) {
        win32::TheSelections().subscribed[win32::ToSocket(s)] = {
            win32::ToWindow(window), static_cast<UINT>(message), static_cast<long>(events)};
    }
    return result;
}

}  // namespace zonbode::net::sys
