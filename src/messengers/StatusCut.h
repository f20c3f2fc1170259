#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zonbode::messengers {

// The text whole when it has at most `limit` characters (code points, as the services count
// them); otherwise as many whole characters as leave room for "…" after them, a character
// being what the eye sees as one: a flag, a letter with its accents, an emoji with its
// modifiers or joined parts are never split. `limit` is at least 1.
std::string CutToCharacters(std::string_view text, std::size_t limit);

}  // namespace zonbode::messengers
