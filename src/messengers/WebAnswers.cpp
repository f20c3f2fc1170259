#include "messengers/WebAnswers.h"

#include <algorithm>
#include <charconv>

namespace zonbode::messengers {

std::chrono::seconds RetryAfter(std::string_view header) {
    constexpr std::chrono::seconds kDefault{60};
    constexpr std::chrono::seconds kLongest{24 * 3600};
    long long seconds = -1;
    const auto [end, error] =
        std::from_chars(header.data(), header.data() + header.size(), seconds);
    if (error != std::errc() || end != header.data() + header.size() || seconds < 0) {
        return kDefault;
    }
    return std::min(std::chrono::seconds(seconds), kLongest);
}

std::string TextAt(const nlohmann::json& object, const char* key) {
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

}  // namespace zonbode::messengers
