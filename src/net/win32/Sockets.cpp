// The socket calls, passed straight to Winsock. Winsock already reports Windows Sockets
// codes, so failures need no translation.

#include <cstring>

#include "net/AcceptFaults.h"
#include "net/SocketApi.h"
#include "net/win32/AsyncSelect.h"
#include "net/win32/Win32Handles.h"

namespace zonbode::net::sys {
namespace {

sockaddr_in ToNative(const SockAddrIn& address) {
    sockaddr_in native;
    std::memset(&native, 0, sizeof native);
    native.sin_family = address.family;
    native.sin_port = address.port;
    native.sin_addr.s_addr = address.addr;
    return native;
}

void FromNative(const sockaddr_in& native, SockAddrIn* address) {
    if (address != nullptr) {
        address->family = native.sin_family;
        address->port = native.sin_port;
        address->addr = native.sin_addr.s_addr;
    }
}

using NameCall = int(WSAAPI*)(SOCKET, sockaddr*, int*);

int ReadAddress(NameCall call, Handle s, SockAddrIn* name) {
    sockaddr_in native;
    std::memset(&native, 0, sizeof native);
    int length = sizeof native;
    int result = call(win32::ToSocket(s), reinterpret_cast<sockaddr*>(&native), &length);
    if (result != SOCKET_ERROR) {
        FromNative(native, name);
    }
    return result;
}

}  // namespace

Handle Socket(int af, int type, int protocol) {
    return win32::FromSocket(socket(af, type, protocol));
}

int CloseSocket(Handle s) {
    const int result = closesocket(win32::ToSocket(s));
    if (result != SOCKET_ERROR) {
        win32::NoteSocketClosed(win32::ToSocket(s));
    }
    return result;
}

int Bind(Handle s, const SockAddrIn& local) {
    sockaddr_in native = ToNative(local);
    return bind(win32::ToSocket(s), reinterpret_cast<const sockaddr*>(&native), sizeof native);
}

int Connect(Handle s, const SockAddrIn& remote) {
    if (remote.addr == 0 || remote.port == 0) {
        // Not an address of a remote computer: Windows refuses it at once, wine only later
        // (or connects to the local host).
        WSASetLastError(WSAEADDRNOTAVAIL);
        return SOCKET_ERROR;
    }
    sockaddr_in native = ToNative(remote);
    return connect(win32::ToSocket(s), reinterpret_cast<const sockaddr*>(&native), sizeof native);
}

int Listen(Handle s, int backlog) {
    return listen(win32::ToSocket(s), backlog);
}

Handle Accept(Handle s, SockAddrIn* peer) {
    if (const std::int32_t fault = TakeAcceptFault(); fault != 0) {
        // Winsock re-enables FD_ACCEPT with every accept call, failed or not, and posts it
        // again for the connection still waiting; subscribing again does the same.
        win32::Resubscribe(win32::ToSocket(s));
        win32::NoteAcceptFailed(win32::ToSocket(s), fault);
        WSASetLastError(fault);
        return kInvalidSocket;
    }
    sockaddr_in native;
    std::memset(&native, 0, sizeof native);
    int length = sizeof native;
    SOCKET accepted = accept(win32::ToSocket(s), reinterpret_cast<sockaddr*>(&native), &length);
    if (accepted != INVALID_SOCKET) {
        FromNative(native, peer);
        win32::NoteSocketAccepted(win32::ToSocket(s), accepted);
    } else {
        const int error = WSAGetLastError();
        win32::NoteAcceptFailed(win32::ToSocket(s), error);
        WSASetLastError(error);  // the back-off's own calls may have set another
    }
    return win32::FromSocket(accepted);
}

int Send(Handle s, const void* data, int length, int flags) {
    return send(win32::ToSocket(s), static_cast<const char*>(data), length, flags);
}

int Recv(Handle s, void* buffer, int length, int flags) {
    return recv(win32::ToSocket(s), static_cast<char*>(buffer), length, flags);
}

int SendTo(Handle s, const void* data, int length, int flags, const SockAddrIn& to) {
    sockaddr_in native = ToNative(to);
    return sendto(win32::ToSocket(s), static_cast<const char*>(data), length, flags,
                  reinterpret_cast<const sockaddr*>(&native), sizeof native);
}

int RecvFrom(Handle s, void* buffer, int length, int flags, SockAddrIn* from) {
    sockaddr_in native;
    std::memset(&native, 0, sizeof native);
    int addressLength = sizeof native;
    int result = recvfrom(win32::ToSocket(s), static_cast<char*>(buffer), length, flags,
                          reinterpret_cast<sockaddr*>(&native), &addressLength);
    // A datagram cut to the buffer (WSAEMSGSIZE) still names its sender.
    if (result != SOCKET_ERROR || WSAGetLastError() == WSAEMSGSIZE) {
        FromNative(native, from);
    }
    return result;
}

int GetSockOpt(Handle s, int level, int name, std::int32_t* value) {
    // Every option used here (SO_SNDBUF, SO_RCVBUF, SO_MAX_MSG_SIZE, SO_BROADCAST) is one
    // 32-bit number.
    std::int32_t native = 0;
    int length = sizeof native;
    int result =
        getsockopt(win32::ToSocket(s), level, name, reinterpret_cast<char*>(&native), &length);
    if (result != SOCKET_ERROR && value != nullptr) {
        *value = native;
    }
    return result;
}

int SetSockOpt(Handle s, int level, int name, std::int32_t value) {
    return setsockopt(win32::ToSocket(s), level, name, reinterpret_cast<const char*>(&value),
                      sizeof value);
}

int GetPeerName(Handle s, SockAddrIn* name) {
    return ReadAddress(&getpeername, s, name);
}

int GetSockName(Handle s, SockAddrIn* name) {
    return ReadAddress(&getsockname, s, name);
}

int IoctlFionread(Handle s, std::uint32_t* count) {
    u_long pending = 0;
    int result = ioctlsocket(win32::ToSocket(s), FIONREAD, &pending);
    if (result != SOCKET_ERROR && count != nullptr) {
        *count = static_cast<std::uint32_t>(pending);
    }
    return result;
}

}  // namespace zonbode::net::sys
