#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "net/SocketApi.h"

namespace zonbode::net::win32 {

// The host lookups the Winsock backend has started (WSAAsyncGetHostByName), each with the
// buffer the service writes its answer into, until the service is done with it.
//
// A completion ends the oldest request with its task number. A request is kept until its
// completion comes, except one whose cancel the service confirmed: then nothing is posted
// for it, and the service may hand its number out again. Such a request goes when its number
// is handed out again; and since a service may complete the lookup anyway (wine's cancel
// does nothing), up to kMaxStopped of them are kept meanwhile, the oldest going first.
class LookupRequests {
public:
    struct Request {
        std::intptr_t window = 0;  // where the completion is posted, and its message
        std::uint32_t message = 0;
        std::int32_t task = 0;            // the service's task number
        void* requesterBuffer = nullptr;  // where the answer is copied; null once cancelled
        int length = 0;
        std::unique_ptr<char[]> answer;  // what the service writes into
        bool stopped = false;            // cancelled, and the service confirmed it
    };

    // As many as may be pending at once.
    static constexpr std::size_t kMaxStopped = sys::kMaxPendingLookups;

    void Add(Request request);
    // Cancels the live request with this number; `stopped` tells whether the service said it
    // stopped the lookup. False when no live request has the number.
    bool Cancel(std::int32_t task, bool stopped);
    // The request a completion with this number ends, taken out; nothing when none.
    std::optional<Request> Complete(std::intptr_t window, std::uint32_t message, std::int32_t task);
    // The window is gone: no completion can come for its requests any more. The service may
    // still write their answers, so they are kept like stopped ones.
    void ForgetWindow(std::intptr_t window);

    std::size_t Live() const;  // started, neither completed nor cancelled
    std::size_t Kept() const;  // every request still kept, cancelled ones too

private:
    void KeepFewStopped();

    std::vector<Request> requests_;  // oldest first
};

}  // namespace zonbode::net::win32
