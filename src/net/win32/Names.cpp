// Host names and address texts, through Winsock's own calls.

#include <cstring>

#include "net/SocketApi.h"
#include "net/win32/Win32Handles.h"

namespace zonbode::net::sys {

int GetHostName(char* buffer, int length) {
    return gethostname(buffer, length);
}

std::optional<std::uint32_t> GetHostByName(const std::string& name) {
    const hostent* found = gethostbyname(name.c_str());
    if (found == nullptr || found->h_addr_list == nullptr || found->h_addr_list[0] == nullptr ||
        found->h_length != 4) {
        if (found != nullptr) {
            WSASetLastError(WSANO_DATA);  // a record without an IPv4 address
        }
        return std::nullopt;
    }
    std::uint32_t address;
    std::memcpy(&address, found->h_addr_list[0], sizeof address);
    return address;
}

std::uint32_t InetAddr(const std::string& dotted) {
    return inet_addr(dotted.c_str());
}

std::string InetNtoa(std::uint32_t addr) {
    in_addr native;
    native.s_addr = addr;
    const char* text = inet_ntoa(native);
    return text != nullptr ? std::string(text) : std::string();
}

std::uint16_t HostToNetShort(std::uint16_t value) {
    return htons(value);
}

std::uint16_t NetToHostShort(std::uint16_t value) {
    return ntohs(value);
}

}  // namespace zonbode::net::sys
