// Network events reported by window message.

#include "net/SocketApi.h"
#include "net/win32/Win32Handles.h"

namespace zonbode::net::sys {

int AsyncSelect(Handle s, WindowHandle window, std::uint32_t message, std::int32_t events) {
    return WSAAsyncSelect(win32::ToSocket(s), win32::ToWindow(window), message, events);
}

}  // namespace zonbode::net::sys
