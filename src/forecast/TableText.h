#pragma once

#include <string>
#include <string_view>

// Small text operations of the page parser.
namespace zonbode::forecast {

// Every "&nbsp;" becomes one space, left to right; no other entity is decoded.
std::string ReplaceNbsp(std::string_view text);
// The same, appended to `out`.
void AppendReplacingNbsp(std::string& out, std::string_view text);

// The text without its first `count` characters (UTF-8 sequences, not bytes); empty when it
// holds no more than that.
std::string_view DropCharacters(std::string_view text, int count);

}  // namespace zonbode::forecast
