// Winsock's asynchronous calls: network events and host lookups reported by window message.

#include <cstring>

#include "net/SocketApi.h"
#include "net/win32/Win32Handles.h"

namespace zonbode::net::sys {

int AsyncSelect(Handle s, WindowHandle window, std::uint32_t message, std::int32_t events) {
    return WSAAsyncSelect(win32::ToSocket(s), win32::ToWindow(window), message, events);
}

std::int32_t AsyncGetHostByName(WindowHandle window, std::uint32_t message, const std::string& name,
                                void* buffer, int bufferLength) {
    HANDLE lookup = WSAAsyncGetHostByName(win32::ToWindow(window), message, name.c_str(),
                                          static_cast<char*>(buffer), bufferLength);
    // Lookup handles are small task numbers; they travel as wParam and as 32-bit values.
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(lookup));
}

int CancelAsyncRequest(std::int32_t lookupHandle) {
    return WSACancelAsyncRequest(
        reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(lookupHandle)));
}

std::optional<std::uint32_t> FirstAddressInLookupBuffer(const void* buffer) {
    if (buffer == nullptr) {
        return std::nullopt;
    }
    // The service writes a hostent at the start of the buffer, its lists pointing into the
    // rest of it.
    hostent record;
    std::memcpy(&record, buffer, sizeof record);
    if (record.h_length != 4 || record.h_addr_list == nullptr) {
        return std::nullopt;
    }
    char* first = nullptr;
    std::memcpy(&first, record.h_addr_list, sizeof first);
    if (first == nullptr) {
        return std::nullopt;
    }
    std::uint32_t address;
    std::memcpy(&address, first, sizeof address);
    return address;
}

}  // namespace zonbode::net::sys
