#pragma once

#include <string>
#include <string_view>

// The values kept between runs, by their full value path, and how a stored text is read.
namespace zonbode::app::settings {

inline constexpr std::string_view kPsmPath = "HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\PSM";
inline constexpr std::string_view kAutoPath = "HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\Auto";
inline constexpr std::string_view kSysteemvakPath =
    "HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\Systeemvak";
inline constexpr std::string_view kAanmeldenPath =
    "HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\Aanmelden";

// A stored on/off choice: on only when the text is a number whose value is exactly 1
// ("1", " 1 ", "1.0", "+1", "1e0"). Empty text, any other number, and text that is not a
// number at all (a hand-edited value) count as off, so a bad value never stops the start.
bool IsSwitchedOn(std::string_view storedText);

// How a check box is written back: 0 off, 1 on.
inline int StoredChoice(bool on) {
    return on ? 1 : 0;
}

}  // namespace zonbode::app::settings
