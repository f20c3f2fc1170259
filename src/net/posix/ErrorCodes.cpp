// errno and getaddrinfo results as Windows Sockets codes, through one plain table.

#include <netdb.h>

#include <array>
#include <cerrno>

#include "net/WindowsSocketsCodes.h"
#include "net/posix/Endpoint.h"

namespace zonbode::net::posix {
namespace {

struct ErrnoToWsa {
    int error;
    int code;
};

constexpr std::array<ErrnoToWsa, 42> kErrnoTable = {{
    {EINTR, WsaCode("WSAEINTR")},
    {EBADF, WsaCode("WSAENOTSOCK")},
    {EACCES, WsaCode("WSAEACCES")},
    {EPERM, WsaCode("WSAEACCES")},
    {EFAULT, WsaCode("WSAEFAULT")},
    {EINVAL, WsaCode("WSAEINVAL")},
    {EMFILE, WsaCode("WSAEMFILE")},
    {ENFILE, WsaCode("WSAEMFILE")},
    {EWOULDBLOCK, WsaCode("WSAEWOULDBLOCK")},
    {EAGAIN, WsaCode("WSAEWOULDBLOCK")},
    // A non-blocking connect under way is "would block" here.
    {EINPROGRESS, WsaCode("WSAEWOULDBLOCK")},
    {EALREADY, WsaCode("WSAEALREADY")},
    {ENOTSOCK, WsaCode("WSAENOTSOCK")},
    {EDESTADDRREQ, WsaCode("WSAEDESTADDRREQ")},
    {EMSGSIZE, WsaCode("WSAEMSGSIZE")},
    {EPROTOTYPE, WsaCode("WSAEPROTOTYPE")},
    {ENOPROTOOPT, WsaCode("WSAENOPROTOOPT")},
    {EPROTONOSUPPORT, WsaCode("WSAEPROTONOSUPPORT")},
    {ESOCKTNOSUPPORT, WsaCode("WSAESOCKTNOSUPPORT")},
    {EOPNOTSUPP, WsaCode("WSAEOPNOTSUPP")},
    {EPFNOSUPPORT, WsaCode("WSAEPFNOSUPPORT")},
    {EAFNOSUPPORT, WsaCode("WSAEAFNOSUPPORT")},
    {EADDRINUSE, WsaCode("WSAEADDRINUSE")},
    {EADDRNOTAVAIL, WsaCode("WSAEADDRNOTAVAIL")},
    {ENETDOWN, WsaCode("WSAENETDOWN")},
    {ENETUNREACH, WsaCode("WSAENETUNREACH")},
    {ENETRESET, WsaCode("WSAENETRESET")},
    {ECONNABORTED, WsaCode("WSAECONNABORTED")},
    {ECONNRESET, WsaCode("WSAECONNRESET")},
    {ENOBUFS, WsaCode("WSAENOBUFS")},
    {ENOMEM, WsaCode("WSAENOBUFS")},
    {EISCONN, WsaCode("WSAEISCONN")},
    {ENOTCONN, WsaCode("WSAENOTCONN")},
    {EPIPE, WsaCode("WSAESHUTDOWN")},
    {ETOOMANYREFS, WsaCode("WSAETOOMANYREFS")},
    {ETIMEDOUT, WsaCode("WSAETIMEDOUT")},
    {ECONNREFUSED, WsaCode("WSAECONNREFUSED")},
    {ELOOP, WsaCode("WSAELOOP")},
    {ENAMETOOLONG, WsaCode("WSAENAMETOOLONG")},
    {EHOSTDOWN, WsaCode("WSAEHOSTDOWN")},
    {EHOSTUNREACH, WsaCode("WSAEHOSTUNREACH")},
    {ENOTEMPTY, WsaCode("WSAENOTEMPTY")},
}};

}  // namespace

int WsaCodeFromErrno(int error) {
    for (const auto& entry : kErrnoTable) {
        if (entry.error == error) {
            return entry.code;
        }
    }
    return WsaCode("WSAEINVAL");
}

int WsaCodeFromLookupFailure(int eaiCode, int savedErrno) {
    switch (eaiCode) {
        case EAI_NONAME:
            return WsaCode("WSAHOST_NOT_FOUND");
        case EAI_AGAIN:
            return WsaCode("WSATRY_AGAIN");
        case EAI_FAIL:
            return WsaCode("WSANO_RECOVERY");
        case EAI_NODATA:
        case EAI_ADDRFAMILY:
            return WsaCode("WSANO_DATA");  // the name exists but has no IPv4 address
        case EAI_MEMORY:
            return WsaCode("WSAENOBUFS");
        case EAI_SYSTEM:
            return WsaCodeFromErrno(savedErrno);
        default:
            return WsaCode("WSANO_RECOVERY");
    }
}

int FailFromErrno() {
    SetLastError(WsaCodeFromErrno(errno));
    return sys::kSocketError;
}

}  // namespace zonbode::net::posix
