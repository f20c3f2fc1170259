#pragma once

#include <chrono>
#include <string>

namespace zonbode::gateway {

// An answer larger than this is refused: a forecast is a few kilobytes.
inline constexpr std::size_t kLargestAnswer = 1024 * 1024;

struct HttpAnswer {
    std::string problem;  // why there is no answer; empty when there is one
    long status = 0;
    std::string body;
};

// One GET of an http:// or https:// URL (certificates checked against the system's store),
// given at most `timeout` from start to the last byte. Safe to call from any thread.
HttpAnswer HttpGet(const std::string& url, std::chrono::seconds timeout);

}  // namespace zonbode::gateway
