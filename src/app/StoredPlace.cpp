#include "app/StoredPlace.h"

#include <charconv>
#include <cmath>

namespace zonbode::app::settings {

std::optional<std::string> ReadDegrees(std::string_view text, double limit) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !(std::fabs(value) <= limit)) {
        return std::nullopt;
    }
    return live::DegreesText(value);
}

live::Place ReadStoredPlace(SettingsStore& settings) {
    const std::string name = settings.ReadRegValue(std::string(kPlaatsPath));
    const std::optional<std::string> latitude =
        ReadDegrees(settings.ReadRegValue(std::string(kBreedtegraadPath)), 90);
    const std::optional<std::string> longitude =
        ReadDegrees(settings.ReadRegValue(std::string(kLengtegraadPath)), 180);
    if (name.empty() || !latitude || !longitude) {
        return live::DefaultPlace();
    }
    // A place stored before zones were has none: its days were Amsterdam's, and stay so.
    std::string timezone = settings.ReadRegValue(kTijdzonePath);
    if (!live::IsTimeZoneName(timezone)) {
        timezone = live::kDefaultTimeZone;
    }
    return {name, *latitude, *longitude, timezone};
}

// In one go: a place is its name and its degrees together, never one without the others.
void StorePlace(SettingsStore& settings, const live::Place& place) {
    settings.WriteRegValues({{std::string(kPlaatsPath), place.name},
                             {std::string(kBreedtegraadPath), place.latitude},
                             {std::string(kLengtegraadPath), place.longitude},
                             {std::string(kTijdzonePath), place.timezone}});
}

}  // namespace zonbode::app::settings
