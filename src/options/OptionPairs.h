#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Command lines made of "--option value" pairs, read the same way by every program.
namespace zonbode {

// Takes one pair: "" when the value is good, otherwise a short sentence for the user.
using TakeOption = std::function<std::string(const std::string& option, const std::string& value)>;

// Hands each pair to `take`, in order. Every argument in an option's place must be one of
// `known` and have a value after it. The first problem, or nullopt when every pair was taken.
std::optional<std::string> ReadOptionPairs(const std::vector<std::string>& arguments,
                                           std::initializer_list<std::string_view> known,
                                           const TakeOption& take);

// The whole of `text` as a whole number from `lowest` to `highest`; nullopt otherwise.
std::optional<int> ReadWholeNumber(std::string_view text, int lowest, int highest);

}  // namespace zonbode
