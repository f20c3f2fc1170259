#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8, the form of all text inside the program.
namespace zonbode::text {

// Decodes the character that starts at text[i]: its length in bytes, or 0 when the bytes
// there are not a well-formed UTF-8 sequence (overlong forms and surrogates included).
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& codePoint);

// Decodes the character that starts at text[i] of UTF-16: its length in code units, 2 for a
// surrogate pair. A surrogate without its partner is given as it is, one unit long.
std::size_t DecodeUtf16(std::u16string_view text, std::size_t i, char32_t& codePoint);

void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace zonbode::text
