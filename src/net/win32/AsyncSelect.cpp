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
        subscribed[accepted] = it->second;
    }
}

void ForgetWindow(HWND window) {
    std::erase_if(TheSelections().closed,
                  [window](const ClosedNumber& closed) { return closed.window == window; });
}

bool AcceptEventReport(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto socket = static_cast<SOCKET>(wParam);
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
        win32::TheSelections().subscribed[win32::ToSocket(s)] = {win32::ToWindow(window),
                                                                 static_cast<UINT>(message)};
    }
    return result;
}

}  // namespace zonbode::net::sys
