#pragma once

#include <string>
#include <string_view>

// The values kept between runs, by their full value path, and how a stored text is read.
namespace zonbode::app::settings {

// The key every value is kept under: the registry on Windows, the settings file's keys on
// Linux.
inline constexpr std::string_view kSettingsKey = "HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\";

inline std::string SettingPath(std::string_view name) {
    return std::string(kSettingsKey).append(name);
}

inline const std::string kPsmPath = SettingPath("PSM");
inline const std::string kAutoPath = SettingPath("Auto");
inline const std::string kSysteemvakPath = SettingPath("Systeemvak");
inline const std::string kAanmeldenPath = SettingPath("Aanmelden");
// The Teams app registration the user signs in with.
inline const std::string kTeamsClientPath = SettingPath("TeamsClient");
inline const std::string kTeamsTenantPath = SettingPath("TeamsTenant");

// A stored on/off choice: on only when the text is a number whose value is exactly 1
// ("1", " 1 ", "1.0", "+1", "1e0"). Empty text, any other number, and text that is not a
// number at all (a hand-edited value) count as off, so a bad value never stops the start.
bool IsSwitchedOn(std::string_view storedText);

// How a check box is written back: 0 off, 1 on.
inline int StoredChoice(bool on) {
    return on ? 1 : 0;
}

}  // namespace zonbode::app::settings
