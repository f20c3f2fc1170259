#pragma once

// SocketApi.h first: its FD_* constants share their names with Winsock's macros.
#include "net/SocketApi.h"

#include <windows.h>
#include <winsock2.h>

#include <cstdint>

// Conversions between the portable handle types and Winsock's and user32's own. Socket
// handles are small numbers on every Windows version, so they fit the 32-bit handles the
// socket layer keeps; INVALID_SOCKET becomes -1 and back.
namespace zonbode::net::win32 {

inline SOCKET ToSocket(sys::Handle handle) {
    return static_cast<SOCKET>(static_cast<std::intptr_t>(handle));
}

inline sys::Handle FromSocket(SOCKET socket) {
    return socket == INVALID_SOCKET ? sys::kInvalidSocket : static_cast<sys::Handle>(socket);
}

inline HWND ToWindow(sys::WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}

inline sys::WindowHandle FromWindow(HWND window) {
    return reinterpret_cast<sys::WindowHandle>(window);
}

}  // namespace zonbode::net::win32
