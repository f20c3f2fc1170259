#pragma once

#include <gtest/gtest.h>

#include <string>

namespace zonbode::app {

// 40,000 characters, some outside the Basic Multilingual Plane (two UTF-16 units each): more
// than any fixed buffer or box limit of either front-end.
inline std::string LongText() {
    std::string text;
    for (int i = 0; i < 4000; ++i) {
        text += "Zon\xF0\x9F\x8C\x9E [zon]";  // ten characters, one of them U+1F31E
    }
    return text;
}

// Compares without printing 40,000 characters on a failure.
inline ::testing::AssertionResult IsLongTextWhole(const std::string& got) {
    if (got == LongText()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "got " << got.size() << " bytes of the " << LongText().size() << " sent";
}

}  // namespace zonbode::app
