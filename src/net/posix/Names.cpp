// Host names and dotted addresses. Lookups ask for IPv4 addresses only.

#include <arpa/inet.h>
#include <netdb.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "net/WindowsSocketsCodes.h"
#include "net/posix/Endpoint.h"

namespace zonbode::net::sys {

int GetHostName(char* buffer, int length) {
    if (buffer == nullptr || length <= 0) {
        posix::SetLastError(WsaCode("WSAEFAULT"));
        return kSocketError;
    }
    if (gethostname(buffer, static_cast<std::size_t>(length)) != 0) {
        return posix::FailFromErrno();
    }
    buffer[length - 1] = '\0';
    return 0;
}

std::optional<std::uint32_t> GetHostByName(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    int status = getaddrinfo(name.c_str(), nullptr, &hints, &result);
    if (status != 0) {
        posix::SetLastError(posix::WsaCodeFromLookupFailure(status, errno));
        return std::nullopt;
    }
    std::optional<std::uint32_t> address;
    for (addrinfo* entry = result; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET) {
            address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
            break;
        }
    }
    freeaddrinfo(result);
    if (!address) {
        posix::SetLastError(WsaCode("WSANO_DATA"));
    }
    return address;
}

std::uint32_t InetAddr(const std::string& dotted) {
    in_addr parsed{};
    if (dotted.empty() || inet_aton(dotted.c_str(), &parsed) == 0) {
        return kInaddrNone;
    }
    return parsed.s_addr;
}

std::string InetNtoa(std::uint32_t addr) {
    unsigned char bytes[4];
    std::memcpy(bytes, &addr, 4);
    return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." +
           std::to_string(bytes[2]) + "." + std::to_string(bytes[3]);
}

std::uint16_t HostToNetShort(std::uint16_t value) {
    return htons(value);
}
std::uint16_t NetToHostShort(std::uint16_t value) {
    return ntohs(value);
}

}  // namespace zonbode::net::sys
