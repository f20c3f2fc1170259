// Network events reported by window message (WSAAsyncSelect).

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "net/SocketApi.h"
#include "net/win32/AsyncSelect.h"

namespace zonbode::net::win32 {
namespace {

// The (window, message) pairs that carry network events; normally one.
std::vector<std::pair<HWND, UINT>>& EventMessages() {
    static auto* pairs = new std::vector<std::pair<HWND, UINT>>;
    return *pairs;
}

}  // namespace

LPARAM CompleteEventReport(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (WSAGETSELECTEVENT(lParam) != FD_CLOSE || WSAGETSELECTERROR(lParam) != 0) {
        return lParam;
    }
    const auto& pairs = EventMessages();
    if (std::find(pairs.begin(), pairs.end(), std::make_pair(window, message)) == pairs.end()) {
        return lParam;
    }
    // A peer that closed in good order leaves the connection half open, so it still has a
    // peer; a reset one has none any more.
    sockaddr_in peer;
    std::memset(&peer, 0, sizeof peer);
    int length = sizeof peer;
    if (getpeername(static_cast<SOCKET>(wParam), reinterpret_cast<sockaddr*>(&peer), &length) ==
            SOCKET_ERROR &&
        WSAGetLastError() == WSAENOTCONN) {
        return WSAMAKESELECTREPLY(FD_CLOSE, WSAECONNRESET);
    }
    return lParam;
}

}  // namespace zonbode::net::win32

namespace zonbode::net::sys {

int AsyncSelect(Handle s, WindowHandle window, std::uint32_t message, std::int32_t events) {
    auto pair = std::make_pair(win32::ToWindow(window), static_cast<UINT>(message));
    auto& pairs = win32::EventMessages();
    if (events != 0 && std::find(pairs.begin(), pairs.end(), pair) == pairs.end()) {
        pairs.push_back(pair);
    }
    return WSAAsyncSelect(win32::ToSocket(s), win32::ToWindow(window), message, events);
}

}  // namespace zonbode::net::sys
