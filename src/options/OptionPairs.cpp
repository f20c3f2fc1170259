#include "options/OptionPairs.h"

#include <algorithm>
#include <charconv>

namespace zonbode {

std::optional<std::string> ReadOptionPairs(const std::vector<std::string>& arguments,
                                           std::initializer_list<std::string_view> known,
                                           const TakeOption& take) {
    for (std::size_t i = 0; i < arguments.size(); i += 2) {
        const std::string& option = arguments[i];
        if (std::find(known.begin(), known.end(), option) == known.end()) {
            return "unknown argument \"" + option + "\"";
        }
        if (i + 1 == arguments.size()) {
            return option + " needs a value";
        }
        if (std::string problem = take(option, arguments[i + 1]); !problem.empty()) {
            return problem;
        }
    }
    return std::nullopt;
}

std::optional<int> ReadWholeNumber(std::string_view text, int lowest, int highest) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lowest ||
        value > highest) {
        return std::nullopt;
    }
    return value;
}

}  // namespace zonbode
