#include "app/StoredSettings.h"

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

// Decimal notation: optional sign, digits with an optional fraction, optional exponent.
// The value is compared exactly (no floating point, no locale): it is 1 when its significant
// digits are "1" and the decimal exponent is 0.
bool IsExactlyOne(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string significant;  // mantissa digits without the point
    long exponent = 0;        // value = significant * 10^exponent
    std::size_t mantissaDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) {
        significant += text[i];
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) {
            significant += text[i];
            --exponent;
        }
    }
    if (mantissaDigits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        if (i == text.size() || !IsDigit(text[i])) {
            return false;
        }
        long written = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            if (written < 100000) {  // saturate: such exponents never give 1 anyway
                written = written * 10 + (text[i] - '0');
            }
        }
        exponent += negativeExponent ? -written : written;
    }
    if (i != text.size()) {
        return false;  // trailing text: not a number
    }
    std::size_t first = significant.find_first_not_of('0');
    if (first == std::string::npos) {
        return false;  // zero
    }
    std::size_t last = significant.find_last_not_of('0');
    exponent += static_cast<long>(significant.size() - 1 - last);
    return !negative && significant.substr(first, last - first + 1) == "1" && exponent == 0;
}

}  // namespace

bool IsSwitchedOn(std::string_view storedText) {
    return IsExactlyOne(TrimBlanks(storedText));
}

}  // namespace zonbode::app::settings
