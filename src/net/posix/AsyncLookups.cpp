// Asynchronous host-name lookups: getaddrinfo (IPv4) on a worker thread per lookup. The
// worker only records its result and queues the completion; the result is written into
// the requester's buffer on the loop's thread when the completion is dispatched, so a
// requester that cancels may free its buffer at once.

#include <netdb.h>
#include <netinet/in.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "net/WindowsSocketsCodes.h"
#include "net/posix/Endpoint.h"

namespace zonbode::net::posix {
namespace {

struct Lookup {
    std::uint64_t ticket = 0;
    void* buffer = nullptr;
    int bufferLength = 0;
    bool finished = false;
    int error = 0;
    std::string name;
    std::vector<std::uint32_t> addresses;
};

struct Lookups {
    std::mutex mutex;
    std::map<std::int32_t, Lookup> pending;  // started and neither delivered nor cancelled
    std::int32_t nextHandle = 1;
    std::uint64_t nextTicket = 1;
};

// Lives for the whole process: a worker may finish after everything else has gone.
Lookups& TheLookups() {
    static auto* lookups = new Lookups;
    return *lookups;
}

struct Resolution {
    int error = 0;
    std::string name;
    std::vector<std::uint32_t> addresses;
};

Resolution Resolve(const std::string& name) {
    Resolution resolution;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* result = nullptr;
    int status = getaddrinfo(name.c_str(), nullptr, &hints, &result);
    if (status != 0) {
        resolution.error = WsaCodeFromLookupFailure(status, errno);
        return resolution;
    }
    resolution.name = (result->ai_canonname != nullptr) ? result->ai_canonname : name;
    for (addrinfo* entry = result; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET) {
            resolution.addresses.push_back(
                reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr);
        }
    }
    freeaddrinfo(result);
    if (resolution.addresses.empty()) {
        resolution.error = WsaCode("WSANO_DATA");
    }
    return resolution;
}

void RunLookup(sys::WindowHandle window, std::uint32_t message, std::int32_t handle,
               std::uint64_t ticket, std::string name) {
    Resolution resolution = Resolve(name);
    Lookups& lookups = TheLookups();
    std::lock_guard lock(lookups.mutex);
    auto it = lookups.pending.find(handle);
    if (it == lookups.pending.end() || it->second.ticket != ticket) {
        return;  // cancelled
    }
    it->second.finished = true;
    it->second.error = resolution.error;
    it->second.name = std::move(resolution.name);
    it->second.addresses = std::move(resolution.addresses);
    PostMessage({window, message, handle,
                 static_cast<std::intptr_t>(static_cast<std::uint32_t>(resolution.error) << 16),
                 ticket, sys::kInvalidSocket});
}

std::size_t RoundUp(std::size_t value) {
    constexpr std::size_t align = alignof(hostent);
    return (value + align - 1) / align * align;
}

// Lays out a hostent with its lists and name inside the buffer, every pointer pointing into
// it. Fewer addresses are kept when all do not fit; 0 when not even one does.
int WriteHostEntry(void* buffer, int bufferLength, const Lookup& lookup) {
    auto* base = static_cast<unsigned char*>(buffer);
    auto length = static_cast<std::size_t>(bufferLength);
    std::size_t aliasesAt = RoundUp(sizeof(hostent));
    std::size_t listAt = aliasesAt + sizeof(char*);
    std::size_t fixed = listAt + sizeof(char*);  // the list's terminating null
    std::size_t perAddress = sizeof(char*) + 4;
    std::size_t nameSize = lookup.name.size() + 1;
    if (length < fixed + perAddress + nameSize) {
        return 0;
    }
    std::size_t count = std::min(lookup.addresses.size(), (length - fixed - nameSize) / perAddress);
    std::size_t addressesAt = listAt + (count + 1) * sizeof(char*);
    std::size_t nameAt = addressesAt + count * 4;

    char* null = nullptr;
    std::memcpy(base + aliasesAt, &null, sizeof null);
    for (std::size_t i = 0; i < count; ++i) {
        std::memcpy(base + addressesAt + i * 4, &lookup.addresses[i], 4);
        char* entry = reinterpret_cast<char*>(base + addressesAt + i * 4);
        std::memcpy(base + listAt + i * sizeof(char*), &entry, sizeof entry);
    }
    std::memcpy(base + listAt + count * sizeof(char*), &null, sizeof null);
    std::memcpy(base + nameAt, lookup.name.c_str(), nameSize);

    hostent entry{};
    entry.h_name = reinterpret_cast<char*>(base + nameAt);
    entry.h_aliases = reinterpret_cast<char**>(base + aliasesAt);
    entry.h_addrtype = AF_INET;
    entry.h_length = 4;
    entry.h_addr_list = reinterpret_cast<char**>(base + listAt);
    std::memcpy(base, &entry, sizeof entry);
    return static_cast<int>(nameAt + nameSize);
}

}  // namespace

bool FinishLookup(std::int32_t lookupHandle, std::uint64_t ticket, std::intptr_t* lParam) {
    Lookup lookup;
    {
        Lookups& lookups = TheLookups();
        std::lock_guard lock(lookups.mutex);
        auto it = lookups.pending.find(lookupHandle);
        if (it == lookups.pending.end() || it->second.ticket != ticket) {
            return false;
        }
        lookup = std::move(it->second);
        lookups.pending.erase(it);
    }
    if (lookup.error != 0) {
        *lParam = static_cast<std::intptr_t>(static_cast<std::uint32_t>(lookup.error) << 16);
        return true;
    }
    int used = WriteHostEntry(lookup.buffer, lookup.bufferLength, lookup);
    if (used == 0) {
        constexpr std::uint32_t kNoBufferSpace = WsaCode("WSAENOBUFS");
        *lParam = static_cast<std::intptr_t>(kNoBufferSpace << 16);
    } else {
        *lParam = static_cast<std::intptr_t>(used & 0xFFFF);
    }
    return true;
}

}  // namespace zonbode::net::posix

namespace zonbode::net::sys {

std::int32_t AsyncGetHostByName(WindowHandle window, std::uint32_t message, const std::string& name,
                                void* buffer, int bufferLength) {
    if (window == 0 || buffer == nullptr) {
        posix::SetLastError(WsaCode("WSAEINVAL"));
        return 0;
    }
    if (bufferLength < static_cast<int>(sizeof(hostent))) {
        posix::SetLastError(WsaCode("WSAENOBUFS"));
        return 0;
    }
    auto& lookups = posix::TheLookups();
    std::int32_t handle = 0;
    std::uint64_t ticket = 0;
    {
        std::lock_guard lock(lookups.mutex);
        if (lookups.pending.size() >= static_cast<std::size_t>(sys::kMaxPendingLookups)) {
            posix::SetLastError(WsaCode("WSAENOBUFS"));
            return 0;
        }
        do {
            handle = lookups.nextHandle;
            lookups.nextHandle = lookups.nextHandle == INT32_MAX ? 1 : lookups.nextHandle + 1;
        } while (lookups.pending.count(handle) != 0);
        ticket = lookups.nextTicket++;
        posix::Lookup& lookup = lookups.pending[handle];
        lookup.ticket = ticket;
        lookup.buffer = buffer;
        lookup.bufferLength = bufferLength;
    }
    try {
        std::thread(posix::RunLookup, window, message, handle, ticket, name).detach();
    } catch (const std::system_error&) {
        std::lock_guard lock(lookups.mutex);
        lookups.pending.erase(handle);
        posix::SetLastError(WsaCode("WSAENOBUFS"));
        return 0;
    }
    return handle;
}

int CancelAsyncRequest(std::int32_t lookupHandle) {
    auto& lookups = posix::TheLookups();
    std::lock_guard lock(lookups.mutex);
    if (lookups.pending.erase(lookupHandle) == 0) {
        posix::SetLastError(WsaCode("WSAEINVAL"));  // unknown, or already delivered
        return kSocketError;
    }
    return 0;
}

std::optional<std::uint32_t> FirstAddressInLookupBuffer(const void* buffer) {
    if (buffer == nullptr) {
        return std::nullopt;
    }
    hostent entry{};
    std::memcpy(&entry, buffer, sizeof entry);
    if (entry.h_addr_list == nullptr || entry.h_length != 4) {
        return std::nullopt;
    }
    char* first = nullptr;
    std::memcpy(&first, entry.h_addr_list, sizeof first);
    if (first == nullptr) {
        return std::nullopt;
    }
    std::uint32_t address = 0;
    std::memcpy(&address, first, 4);
    return address;
}

}  // namespace zonbode::net::sys
