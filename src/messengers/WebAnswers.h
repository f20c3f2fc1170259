#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

// What the web messengers' answers share: Retry-After and the texts of a JSON answer.
namespace zonbode::messengers {

// The wait a 429 or 503 names: its whole seconds, at most a day; 60 s when it names none that
// can be read.
std::chrono::seconds RetryAfter(std::string_view header);

// The text at `key` of a JSON object; "" when it is missing or not a text.
std::string TextAt(const nlohmann::json& object, const char* key);

}  // namespace zonbode::messengers
