// Starting and stopping Windows Sockets, and the calling thread's last error code.

#include "net/SocketApi.h"
#include "net/win32/Win32Handles.h"

namespace zonbode::net::sys {

int Startup(std::uint16_t version) {
    WSADATA data;  // filled by the service; nothing in it is used
    return WSAStartup(version, &data);
}

int Cleanup() {
    return WSACleanup();
}

int LastError() {
    return WSAGetLastError();
}

}  // namespace zonbode::net::sys
