// The socket calls: thin wrappers that translate addresses, options and errors, and tell
// the readiness tracking what each call means for the next notification.

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "net/AcceptFaults.h"
#include "net/WindowsSocketsCodes.h"
#include "net/posix/Endpoint.h"

namespace zonbode::net::sys {
namespace {

sockaddr_in ToNative(const SockAddrIn& address) {
    sockaddr_in native{};
    native.sin_family = address.family;
    native.sin_port = address.port;
    native.sin_addr.s_addr = address.addr;
    return native;
}

void FromNative(const sockaddr_in& native, SockAddrIn* address) {
    if (address != nullptr) {
        address->family = kAfInet;
        address->port = native.sin_port;
        address->addr = native.sin_addr.s_addr;
    }
}

bool IsResetCode(int code) {
    return code == WsaCode("WSAECONNABORTED") || code == WsaCode("WSAECONNRESET");
}

// A datagram longer than the buffer: the first bytes are filled and the call fails with
// "message too long"; without a peek the datagram is consumed.
int FinishDatagramReceive(ssize_t received, int length) {
    if (received < 0) {
        return posix::FailFromErrno();
    }
    if (received > length) {
        posix::SetLastError(WsaCode("WSAEMSGSIZE"));
        return kSocketError;
    }
    return static_cast<int>(received);
}

int NativeFlags(int flags) {
    return (flags & kMsgPeek) ? MSG_PEEK : 0;
}

bool OptionName(int level, int name, int* nativeLevel, int* nativeName) {
    if (level != kSolSocket) {
        return false;
    }
    *nativeLevel = SOL_SOCKET;
    switch (name) {
        case kSoBroadcast:
            *nativeName = SO_BROADCAST;
            return true;
        case kSoSndbuf:
            *nativeName = SO_SNDBUF;
            return true;
        case kSoRcvbuf:
            *nativeName = SO_RCVBUF;
            return true;
        default:
            return false;
    }
}

}  // namespace

Handle Socket(int af, int type, int protocol) {
    if (af != kAfInet) {
        posix::SetLastError(WsaCode("WSAEAFNOSUPPORT"));
        return kInvalidSocket;
    }
    int nativeType = 0;
    if (type == kSockStream && (protocol == 0 || protocol == kIpprotoTcp)) {
        nativeType = SOCK_STREAM;
    } else if (type == kSockDgram && (protocol == 0 || protocol == kIpprotoUdp)) {
        nativeType = SOCK_DGRAM;
    } else {
        posix::SetLastError(type == kSockStream || type == kSockDgram
                                ? WsaCode("WSAEPROTONOSUPPORT")
                                : WsaCode("WSAESOCKTNOSUPPORT"));
        return kInvalidSocket;
    }
    int fd = ::socket(AF_INET, nativeType | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        posix::FailFromErrno();
        return kInvalidSocket;
    }
    posix::NoteSocketCreated(fd, nativeType == SOCK_DGRAM);
    return fd;
}

int CloseSocket(Handle s) {
    if (s < 0) {
        posix::SetLastError(WsaCode("WSAENOTSOCK"));
        return kSocketError;
    }
    posix::NoteSocketClosed(s);
    if (::close(s) != 0) {
        return posix::FailFromErrno();
    }
    return 0;
}

int Bind(Handle s, const SockAddrIn& local) {
    if (!posix::IsDatagramSocket(s)) {
        // A port whose old connections linger in TIME_WAIT can be bound again, as on Windows.
        int on = 1;
        setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    sockaddr_in native = ToNative(local);
    if (::bind(s, reinterpret_cast<sockaddr*>(&native), sizeof native) != 0) {
        return posix::FailFromErrno();
    }
    return 0;
}

int Connect(Handle s, const SockAddrIn& remote) {
    if (remote.addr == 0 || remote.port == 0) {
        // Not an address of a remote computer: Windows refuses it at once.
        posix::SetLastError(WsaCode("WSAEADDRNOTAVAIL"));
        return kSocketError;
    }
    sockaddr_in native = ToNative(remote);
    int result = ::connect(s, reinterpret_cast<sockaddr*>(&native), sizeof native);
    int savedErrno = errno;
    if (result == 0 || savedErrno == EINPROGRESS) {
        posix::NoteConnectStarted(s, result == 0);
    }
    if (result != 0) {
        errno = savedErrno;
        return posix::FailFromErrno();
    }
    return 0;
}

int Listen(Handle s, int backlog) {
    if (::listen(s, backlog) != 0) {
        return posix::FailFromErrno();
    }
    posix::NoteListening(s);
    return 0;
}

Handle Accept(Handle s, SockAddrIn* peer) {
    int fd = -1;
    std::int32_t failure = TakeAcceptFault();
    if (failure == 0) {
        sockaddr_in native{};
        socklen_t length = sizeof native;
        int flags = SOCK_CLOEXEC | (posix::IsSubscribed(s) ? SOCK_NONBLOCK : 0);
        fd = ::accept4(s, reinterpret_cast<sockaddr*>(&native), &length, flags);
        if (fd >= 0) {
            FromNative(native, peer);
            posix::NoteAccepted(s, fd);
        } else {
            failure = posix::WsaCodeFromErrno(errno);
        }
    }
    posix::NoteAcceptCalled(s, IsOutOfDescriptorsOrBuffers(failure));
    if (fd < 0) {
        posix::SetLastError(failure);
        return kInvalidSocket;
    }
    return fd;
}

int Send(Handle s, const void* data, int length, int flags) {
    if (length < 0) {
        posix::SetLastError(WsaCode("WSAEFAULT"));
        return kSocketError;
    }
    ssize_t sent =
        ::send(s, data, static_cast<std::size_t>(length), NativeFlags(flags) | MSG_NOSIGNAL);
    if (sent < 0) {
        int code = posix::WsaCodeFromErrno(errno);
        posix::SetLastError(code);
        if (code == WsaCode("WSAEWOULDBLOCK")) {
            posix::NoteSendWouldBlock(s);
        } else if (IsResetCode(code)) {
            posix::NoteConnectionBroken(s, code);
        }
        return kSocketError;
    }
    return static_cast<int>(sent);
}

int Recv(Handle s, void* buffer, int length, int flags) {
    if (length < 0) {
        posix::SetLastError(WsaCode("WSAEFAULT"));
        return kSocketError;
    }
    int result = 0;
    if (posix::IsDatagramSocket(s)) {
        ssize_t received =
            ::recv(s, buffer, static_cast<std::size_t>(length), NativeFlags(flags) | MSG_TRUNC);
        result = FinishDatagramReceive(received, length);
    } else {
        ssize_t received = ::recv(s, buffer, static_cast<std::size_t>(length), NativeFlags(flags));
        result = received < 0 ? posix::FailFromErrno() : static_cast<int>(received);
        if (received < 0 && IsResetCode(LastError())) {
            posix::NoteConnectionBroken(s, LastError());
        }
    }
    int code = LastError();
    posix::NoteReceiveCalled(s);
    posix::SetLastError(code);
    return result;
}

int SendTo(Handle s, const void* data, int length, int flags, const SockAddrIn& to) {
    if (length < 0) {
        posix::SetLastError(WsaCode("WSAEFAULT"));
        return kSocketError;
    }
    sockaddr_in native = ToNative(to);
    ssize_t sent =
        ::sendto(s, data, static_cast<std::size_t>(length), NativeFlags(flags) | MSG_NOSIGNAL,
                 reinterpret_cast<sockaddr*>(&native), sizeof native);
    if (sent < 0) {
        int code = posix::WsaCodeFromErrno(errno);
        posix::SetLastError(code);
        if (code == WsaCode("WSAEWOULDBLOCK")) {
            posix::NoteSendWouldBlock(s);
        }
        return kSocketError;
    }
    return static_cast<int>(sent);
}

int RecvFrom(Handle s, void* buffer, int length, int flags, SockAddrIn* from) {
    if (length < 0) {
        posix::SetLastError(WsaCode("WSAEFAULT"));
        return kSocketError;
    }
    sockaddr_in native{};
    socklen_t nativeLength = sizeof native;
    bool datagram = posix::IsDatagramSocket(s);
    ssize_t received = ::recvfrom(s, buffer, static_cast<std::size_t>(length),
                                  NativeFlags(flags) | (datagram ? MSG_TRUNC : 0),
                                  reinterpret_cast<sockaddr*>(&native), &nativeLength);
    int result = 0;
    if (datagram) {
        result = FinishDatagramReceive(received, length);
    } else {
        result = received < 0 ? posix::FailFromErrno() : static_cast<int>(received);
    }
    if (received >= 0) {
        FromNative(native, from);
    }
    int code = LastError();
    posix::NoteReceiveCalled(s);
    posix::SetLastError(code);
    return result;
}

int GetSockOpt(Handle s, int level, int name, std::int32_t* value) {
    if (value == nullptr) {
        posix::SetLastError(WsaCode("WSAEFAULT"));
        return kSocketError;
    }
    if (level == kSolSocket && name == kSoMaxMsgSize) {
        // No such option here: the largest UDP payload over IPv4.
        int type = 0;
        socklen_t length = sizeof type;
        if (getsockopt(s, SOL_SOCKET, SO_TYPE, &type, &length) != 0) {
            return posix::FailFromErrno();
        }
        if (type != SOCK_DGRAM) {
            posix::SetLastError(WsaCode("WSAENOPROTOOPT"));
            return kSocketError;
        }
        *value = 65507;
        return 0;
    }
    int nativeLevel = 0;
    int nativeName = 0;
    if (!OptionName(level, name, &nativeLevel, &nativeName)) {
        posix::SetLastError(WsaCode("WSAENOPROTOOPT"));
        return kSocketError;
    }
    int native = 0;
    socklen_t length = sizeof native;
    if (getsockopt(s, nativeLevel, nativeName, &native, &length) != 0) {
        return posix::FailFromErrno();
    }
    *value = native;
    return 0;
}

int SetSockOpt(Handle s, int level, int name, std::int32_t value) {
    int nativeLevel = 0;
    int nativeName = 0;
    if (!OptionName(level, name, &nativeLevel, &nativeName)) {
        posix::SetLastError(WsaCode("WSAENOPROTOOPT"));
        return kSocketError;
    }
    int native = value;
    if (setsockopt(s, nativeLevel, nativeName, &native, sizeof native) != 0) {
        return posix::FailFromErrno();
    }
    return 0;
}

int GetPeerName(Handle s, SockAddrIn* name) {
    sockaddr_in native{};
    socklen_t length = sizeof native;
    if (getpeername(s, reinterpret_cast<sockaddr*>(&native), &length) != 0) {
        return posix::FailFromErrno();
    }
    FromNative(native, name);
    return 0;
}

int GetSockName(Handle s, SockAddrIn* name) {
    sockaddr_in native{};
    socklen_t length = sizeof native;
    if (getsockname(s, reinterpret_cast<sockaddr*>(&native), &length) != 0) {
        return posix::FailFromErrno();
    }
    FromNative(native, name);
    return 0;
}

int IoctlFionread(Handle s, std::uint32_t* count) {
    if (count == nullptr) {
        posix::SetLastError(WsaCode("WSAEFAULT"));
        return kSocketError;
    }
    // A datagram socket reports the size of its next datagram.
    int pending = 0;
    if (ioctl(s, FIONREAD, &pending) != 0) {
        return posix::FailFromErrno();
    }
    *count = static_cast<std::uint32_t>(pending);
    return 0;
}

}  // namespace zonbode::net::sys
