// Starting and stopping Windows Sockets, and the calling thread's last error code.

#include "net/SocketApi.h"
#include "net/win32/TaskWindow.h"
#include "net/win32/Win32Handles.h"

namespace zonbode::net::sys {

int Startup(std::uint16_t version) {
    WSADATA data;  // filled by the service; nothing in it is used
    const int result = WSAStartup(version, &data);
    if (result == 0) {
        win32::OpenTaskWindow();
    }
    return result;
}

int Cleanup() {
    const int result = WSACleanup();
    if (result == 0) {
        win32::CloseTaskWindow();
    }
    return result;
}

int LastError() {
    return WSAGetLastError();
}

}  // namespace zonbode::net::sys
