#include "net/win32/LookupRequests.h"

#include <algorithm>

namespace zonbode::net::win32 {

void LookupRequests::Add(Request request) {
    // A number handed out again: the service is done with a stopped lookup that had it. One
    // whose completion is still on its way keeps its place before the new one.
    std::erase_if(requests_,
                  [&](const Request& kept) { return kept.stopped && kept.task == request.task; });
    requests_.push_back(std::move(request));
}

bool LookupRequests::Cancel(std::int32_t task, bool stopped) {
    auto it = std::find_if(requests_.begin(), requests_.end(), [task](const Request& request) {
        return request.task == task && request.requesterBuffer != nullptr;
    });
    if (it == requests_.end()) {
        return false;
    }
    it->requesterBuffer = nullptr;
    it->stopped = stopped;
    KeepFewStopped();
    return true;
}

std::optional<LookupRequests::Request> LookupRequests::Complete(std::intptr_t window,
                                                                std::uint32_t message,
                                                                std::int32_t task) {
    auto it = std::find_if(requests_.begin(), requests_.end(), [&](const Request& request) {
        return request.window == window && request.message == message && request.task == task;
    });
    if (it == requests_.end()) {
        return std::nullopt;
    }
    Request request = std::move(*it);
    requests_.erase(it);
    return request;
}

void LookupRequests::ForgetWindow(std::intptr_t window) {
    for (auto& request : requests_) {
        if (request.window == window) {
            request.requesterBuffer = nullptr;
            request.stopped = true;
        }
    }
    KeepFewStopped();
}

void LookupRequests::KeepFewStopped() {
    auto stopped = static_cast<std::size_t>(
        std::count_if(requests_.begin(), requests_.end(),
                      [](const Request& request) { return request.stopped; }));
    for (auto it = requests_.begin(); it != requests_.end() && stopped > kMaxStopped;) {
        if (it->stopped) {
            it = requests_.erase(it);
            --stopped;
        } else {
            ++it;
        }
    }
}

std::size_t LookupRequests::Live() const {
    return static_cast<std::size_t>(
        std::count_if(requests_.begin(), requests_.end(),
                      [](const Request& request) { return request.requesterBuffer != nullptr; }));
}

std::size_t LookupRequests::Kept() const {
    return requests_.size();
}

}  // namespace zonbode::net::win32
