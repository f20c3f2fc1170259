// Host lookups reported by window message (WSAAsyncGetHostByName).
//
// The service writes its answer into a buffer of our own, not the requester's, and the
// answer is copied over when the completion message is handled. This keeps two promises
// that WSACancelAsyncRequest alone does not: a cancelled lookup never writes into a buffer
// the requester has freed, and its completion never arrives, even when it was already
// queued when the lookup was cancelled (where the service reports WSAEALREADY, and where
// some implementations do not cancel at all).

#include <cstring>
#include <memory>
#include <vector>

#include "net/SocketApi.h"
#include "net/win32/AsyncLookups.h"
#include "net/win32/LookupRequests.h"

namespace zonbode::net::win32 {
namespace {

LookupRequests& Requests() {
    static auto* requests = new LookupRequests;
    return *requests;
}

std::int32_t TaskNumber(HANDLE handle) {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(handle));
}

// Pointers in the answer point into the answer itself; moved to the requester's copy.
template <typename T>
T Relocated(T pointer, const char* from, std::size_t length, char* to) {
    auto* bytes = reinterpret_cast<const char*>(pointer);
    if (bytes < from || bytes >= from + length) {
        return pointer;
    }
    return reinterpret_cast<T>(to + (bytes - from));
}

void RelocateList(char** list, const char* from, std::size_t length, char* to) {
    auto* bytes = reinterpret_cast<const char*>(list);
    if (bytes < to || bytes >= to + length) {
        return;  // not in the copy: leave it alone
    }
    for (std::size_t i = 0; list != nullptr && list[i] != nullptr; ++i) {
        list[i] = Relocated(list[i], from, length, to);
    }
}

void CopyAnswer(const LookupRequests::Request& lookup) {
    auto length = static_cast<std::size_t>(lookup.length);
    char* to = static_cast<char*>(lookup.requesterBuffer);
    const char* from = lookup.answer.get();
    std::memcpy(to, from, length);
    auto* record = reinterpret_cast<hostent*>(to);
    record->h_name = Relocated(record->h_name, from, length, to);
    record->h_aliases = Relocated(record->h_aliases, from, length, to);
    record->h_addr_list = Relocated(record->h_addr_list, from, length, to);
    RelocateList(record->h_aliases, from, length, to);
    RelocateList(record->h_addr_list, from, length, to);
}

}  // namespace

bool AcceptLookupCompletion(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The service is done with the answer buffer once it has posted the completion.
    std::optional<LookupRequests::Request> request =
        Requests().Complete(FromWindow(window), message, static_cast<std::int32_t>(wParam));
    if (!request) {
        return true;
    }
    const bool cancelled = request->requesterBuffer == nullptr;
    if (!cancelled && WSAGETASYNCERROR(lParam) == 0) {
        CopyAnswer(*request);
    }
    return !cancelled;
}

void ForgetLookups(HWND window) {
    Requests().ForgetWindow(FromWindow(window));
}

}  // namespace zonbode::net::win32

namespace zonbode::net::sys {

std::int32_t AsyncGetHostByName(WindowHandle window, std::uint32_t message, const std::string& name,
                                void* buffer, int bufferLength) {
    if (buffer == nullptr || bufferLength < static_cast<int>(sizeof(hostent)) ||
        win32::Requests().Live() >= static_cast<std::size_t>(kMaxPendingLookups)) {
        WSASetLastError(WSAENOBUFS);
        return 0;
    }
    auto answer = std::make_unique<char[]>(static_cast<std::size_t>(bufferLength));
    HANDLE handle = WSAAsyncGetHostByName(win32::ToWindow(window), message, name.c_str(),
                                          answer.get(), bufferLength);
    if (handle == nullptr) {
        return 0;
    }
    // Lookup handles are small task numbers; they travel as wParam and as 32-bit values.
    const std::int32_t task = win32::TaskNumber(handle);
    win32::Requests().Add({window, message, task, buffer, bufferLength, std::move(answer), false});
    return task;
}

int CancelAsyncRequest(std::int32_t lookupHandle) {
    auto& requests = win32::Requests();
    // Whether or not the service can still stop it, its completion is dropped when it comes.
    const bool stopped =
        WSACancelAsyncRequest(reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(lookupHandle))) !=
        SOCKET_ERROR;
    if (!requests.Cancel(lookupHandle, stopped)) {
        WSASetLastError(WSAEINVAL);  // unknown, finished or already cancelled
        return SOCKET_ERROR;
    }
    return 0;
}

std::optional<std::uint32_t> FirstAddressInLookupBuffer(const void* buffer) {
    if (buffer == nullptr) {
        return std::nullopt;
    }
    // A hostent at the start of the buffer, its lists pointing into the rest of it.
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
