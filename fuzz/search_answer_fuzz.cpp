// Feeds arbitrary bytes to the reader of Open-Meteo's place search answer. It must never throw
// or crash; what it accepts is at most ten named places with degrees in range, written as
// numbers that read back.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "live/PlaceSearch.h"

using namespace zonbode;

namespace {

bool Degrees(const std::string& text, double limit) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::fabs(value) <= limit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    std::string problem;
    const auto matches = live::ReadSearchAnswer(json, problem);
    if (!matches) {
        if (problem.empty()) {
            std::abort();
        }
        return 0;
    }
    if (matches->size() > live::kMostMatches) {
        std::abort();
    }
    for (const live::PlaceMatch& match : *matches) {
        if (match.place.name.empty() || !Degrees(match.place.latitude, 90) ||
            !Degrees(match.place.longitude, 180) || live::MatchLabel(match).empty()) {
            std::abort();
        }
    }
    return 0;
}
