#include "app/StoredSettings.h"

#include <optional>
#include <string>

namespace zonbode::app::settings {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A number in decimal notation, as written: value = significant * 10^exponent.
struct Decimal {
    bool negative = false;
    std::string significant;  // mantissa digits without the point
    long exponent = 0;
};

// An optional sign at text[i]: true for a minus.
bool ReadSign(std::string_view text, std::size_t& i) {
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        return text[i++] == '-';
    }
    return false;
}

// Digits with an optional fraction; false when there are no digits.
bool ReadMantissa(std::string_view text, std::size_t& i, Decimal& number) {
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        number.significant += text[i];
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i) {
            number.significant += text[i];
            --number.exponent;
        }
    }
    return !number.significant.empty();
}

// An optional exponent; false when its letter has no digits after it.
bool ReadExponent(std::string_view text, std::size_t& i, Decimal& number) {
    if (i == text.size() || (text[i] != 'e' && text[i] != 'E')) {
        return true;
    }
    ++i;
    const bool negativeExponent = ReadSign(text, i);
    if (i == text.size() || !IsDigit(text[i])) {
        return false;
    }
    long written = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (written < 100000) {  // saturate: such exponents never give 1 anyway
            written = written * 10 + (text[i] - '0');
        }
    }
    number.exponent += negativeExponent ? -written : written;
    return true;
}

// Optional sign, digits with an optional fraction, optional exponent, and nothing after.
std::optional<Decimal> ReadDecimal(std::string_view text) {
    std::size_t i = 0;
    Decimal number;
    number.negative = ReadSign(text, i);
    if (!ReadMantissa(text, i, number) || !ReadExponent(text, i, number)) {
        return std::nullopt;
    }
    if (i != text.size()) {
        return std::nullopt;  // trailing text: not a number
    }
    return number;
}

// The value is compared exactly (no floating point, no locale): it is 1 when its significant
// digits are "1" and the decimal exponent is 0.
bool IsExactlyOne(std::string_view text) {
    std::optional<Decimal> number = ReadDecimal(text);
    if (!number) {
        return false;
    }
    const std::string& significant = number->significant;
    std::size_t first = significant.find_first_not_of('0');
    if (first == std::string::npos) {
        return false;  // zero
    }
    std::size_t last = significant.find_last_not_of('0');
    const long exponent = number->exponent + static_cast<long>(significant.size() - 1 - last);
    return !number->negative && significant.substr(first, last - first + 1) == "1" && exponent == 0;
}

}  // namespace

bool IsSwitchedOn(std::string_view storedText) {
    return IsExactlyOne(TrimBlanks(storedText));
}

}  // namespace zonbode::app::settings
