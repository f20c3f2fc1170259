// errno and getaddrinfo results as Windows Sockets codes, through one plain table.

#include <netdb.h>

#include <array>
#include <cerrno>

#include "net/posix/Endpoint.h"

namespace zonbode::net::posix {
namespace {

struct ErrnoToWsa {
    int error;
    int code;
};

constexpr std::array<ErrnoToWsa, 42> kErrnoTable = {{
    {EINTR, 10004},
    {EBADF, 10038},
    {EACCES, 10013},
    {EPERM, 10013},
    {EFAULT, 10014},
    {EINVAL, 10022},
    {EMFILE, 10024},
    {ENFILE, 10024},
    {EWOULDBLOCK, 10035},
    {EAGAIN, 10035},
    {EINPROGRESS, 10035},  // a non-blocking connect under way is "would
                           // block" here
    {EALREADY, 10037},
    {ENOTSOCK, 10038},
    {EDESTADDRREQ, 10039},
    {EMSGSIZE, 10040},
    {EPROTOTYPE, 10041},
    {ENOPROTOOPT, 10042},
    {EPROTONOSUPPORT, 10043},
    {ESOCKTNOSUPPORT, 10044},
    {EOPNOTSUPP, 10045},
    {EPFNOSUPPORT, 10046},
    {EAFNOSUPPORT, 10047},
    {EADDRINUSE, 10048},
    {EADDRNOTAVAIL, 10049},
    {ENETDOWN, 10050},
    {ENETUNREACH, 10051},
    {ENETRESET, 10052},
    {ECONNABORTED, 10053},
    {ECONNRESET, 10054},
    {ENOBUFS, 10055},
    {ENOMEM, 10055},
    {EISCONN, 10056},
    {ENOTCONN, 10057},
    {EPIPE, 10058},
    {ETOOMANYREFS, 10059},
    {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061},
    {ELOOP, 10062},
    {ENAMETOOLONG, 10063},
    {EHOSTDOWN, 10064},
    {EHOSTUNREACH, 10065},
    {ENOTEMPTY, 10066},
}};

thread_local int lastError = 0;

}  // namespace

void SetLastError(int code) {
    lastError = code;
}

int WsaCodeFromErrno(int error) {
    for (const auto& entry : kErrnoTable) {
        if (entry.error == error) {
            return entry.code;
        }
    }
    return 10022;
}

int WsaCodeFromLookupFailure(int eaiCode, int savedErrno) {
    switch (eaiCode) {
        case EAI_NONAME:
            return 11001;  // host not found
        case EAI_AGAIN:
            return 11002;  // try again
        case EAI_FAIL:
            return 11003;  // non-recoverable
        case EAI_NODATA:
        case EAI_ADDRFAMILY:
            return 11004;  // the name exists but has no IPv4 address
        case EAI_MEMORY:
            return 10055;
        case EAI_SYSTEM:
            return WsaCodeFromErrno(savedErrno);
        default:
            return 11003;
    }
}

int FailFromErrno() {
    SetLastError(WsaCodeFromErrno(errno));
    return sys::kSocketError;
}

}  // namespace zonbode::net::posix

namespace zonbode::net::sys {

int LastError() {
    return posix::lastError;
}

}  // namespace zonbode::net::sys
