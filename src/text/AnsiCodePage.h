#pragma once

#include <string>
#include <string_view>

// Bytes cross into text one byte per character through the 8-bit code page (Windows-1252,
// with its five unassigned bytes mapped to U+0081, U+008D, U+008F, U+0090 and U+009D so that
// every byte round-trips). Text inside the program is UTF-8.
namespace zonbode::text {

// Each byte becomes one character, written as UTF-8.
std::string BytesToText(std::string_view bytes);

// Each character becomes one byte; a character the code page cannot represent becomes '?'.
// Invalid UTF-8 sequences count as one unrepresentable character per bad byte.
std::string TextToBytes(std::string_view text);

}  // namespace zonbode::text
