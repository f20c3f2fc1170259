#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The Windows Sockets error codes the socket layer uses, each with its standard name and the
// text NetworkErrorText gives for it. Codes without a text of their own read "Unknown error.".
// The codes are named in code by WsaCode("WSAE..."), checked while compiling.
namespace zonbode::net {

struct WindowsSocketsCode {
    std::int32_t code;
    std::string_view name;
    std::string_view text;
};

inline constexpr std::array<WindowsSocketsCode, 45> kWindowsSocketsCodes = {{
    {10004, "WSAEINTR", "Interrupted function call."},
    {10013, "WSAEACCES", "Permission denied."},
    {10014, "WSAEFAULT", "Bad address."},
    {10022, "WSAEINVAL", "Invalid argument."},
    {10024, "WSAEMFILE", "Too many open files."},
    {10035, "WSAEWOULDBLOCK", "Resource temporarily unavailable."},
    {10036, "WSAEINPROGRESS", "Operation now in progress."},
    {10037, "WSAEALREADY", "Operation already in progress."},
    {10038, "WSAENOTSOCK", "Socket operation on nonsocket."},
    {10039, "WSAEDESTADDRREQ", "Destination address required."},
    {10040, "WSAEMSGSIZE", "Message too long."},
    {10041, "WSAEPROTOTYPE", "Protocol wrong type for socket."},
    {10042, "WSAENOPROTOOPT", "Bad protocol option."},
    {10043, "WSAEPROTONOSUPPORT", "Protocol not supported."},
    {10044, "WSAESOCKTNOSUPPORT", "Socket type not supported."},
    {10045, "WSAEOPNOTSUPP", "Operation not supported."},
    {10046, "WSAEPFNOSUPPORT", "Protocol family not supported."},
    {10047, "WSAEAFNOSUPPORT", "Address family not supported by protocol family."},
    {10048, "WSAEADDRINUSE", "Address already in use."},
    {10049, "WSAEADDRNOTAVAIL", "Cannot assign requested address."},
    {10050, "WSAENETDOWN", "Network is down."},
    {10051, "WSAENETUNREACH", "Network is unreachable."},
    {10052, "WSAENETRESET", "Network dropped connection on reset."},
    {10053, "WSAECONNABORTED", "Software caused connection abort."},
    {10054, "WSAECONNRESET", "Connection reset by peer."},
    {10055, "WSAENOBUFS", "No buffer space available."},
    {10056, "WSAEISCONN", "Socket is already connected."},
    {10057, "WSAENOTCONN", "Socket is not connected."},
    {10058, "WSAESHUTDOWN", "Cannot send after socket shutdown."},
    {10059, "WSAETOOMANYREFS", ""},
    {10060, "WSAETIMEDOUT", "Connection timed out."},
    {10061, "WSAECONNREFUSED", "Connection refused."},
    {10062, "WSAELOOP", ""},
    {10063, "WSAENAMETOOLONG", ""},
    {10064, "WSAEHOSTDOWN", ""},
    {10065, "WSAEHOSTUNREACH", "No route to host."},
    {10066, "WSAENOTEMPTY", ""},
    {10067, "WSAEPROCLIM", "Too many processes."},
    {10091, "WSASYSNOTREADY", "Network subsystem is unavailable."},
    {10092, "WSAVERNOTSUPPORTED", "Winsock.dll version out of range."},
    {10093, "WSANOTINITIALISED", "Successful WSAStartup not yet performed."},
    {11001, "WSAHOST_NOT_FOUND", "Host not found."},
    {11002, "WSATRY_AGAIN", "Nonauthoritative host not found."},
    {11003, "WSANO_RECOVERY", "This is a nonrecoverable error."},
    {11004, "WSANO_DATA", "Valid name, no data record of requested type."},
}};

// The code of a standard name; a name not in the table does not compile.
consteval std::int32_t WsaCode(std::string_view name) {
    for (const WindowsSocketsCode& entry : kWindowsSocketsCodes) {
        if (entry.name == name) {
            return entry.code;
        }
    }
    throw "not a Windows Sockets code of the table";
}

}  // namespace zonbode::net
