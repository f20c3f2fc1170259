#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/Ports.h"
#include "app/StoredSettings.h"
#include "live/Place.h"

// The place the forecast is for, kept beside the other stored values: its name and its
// degrees, as text written with a dot.
namespace zonbode::app::settings {

inline const std::string kPlaatsPath = SettingPath("Plaats");
inline const std::string kBreedtegraadPath = SettingPath("Breedtegraad");
inline const std::string kLengtegraadPath = SettingPath("Lengtegraad");
inline const std::string kTijdzonePath = SettingPath("Tijdzone");

// Decimal degrees within ±limit ("52.1", " -5.18 "), written back in their shortest form;
// nullopt for anything else (a hand-edited value, a comma, a number out of range).
std::optional<std::string> ReadDegrees(std::string_view text, double limit);

// Reads "Plaats", "Breedtegraad" and "Lengtegraad", in that order. When any of them is
// missing or unreadable the place is the default one, whole: a name never goes with degrees
// of another place.
live::Place ReadStoredPlace(SettingsStore& settings);

// Writes the three values as text.
void StorePlace(SettingsStore& settings, const live::Place& place);

}  // namespace zonbode::app::settings
