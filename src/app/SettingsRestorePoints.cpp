#include "app/SettingsRestorePoints.h"

#include "app/StoredSettings.h"

namespace zonbode::app {
namespace {

std::string ValuePath(std::string_view messenger) {
    return settings::SettingPath(std::string("Herstel").append(messenger));
}

}  // namespace

std::string SettingsRestorePoints::Read(std::string_view messenger) {
    std::string kept = settings_.ReadRegValue(ValuePath(messenger));
    kept_.insert_or_assign(std::string(messenger), kept);
    return kept;
}

void SettingsRestorePoints::Write(std::string_view messenger, const std::string& kept) {
    if (const auto it = kept_.find(messenger); it != kept_.end() && it->second == kept) {
        return;
    }
    settings_.WriteRegString(ValuePath(messenger), kept);
    kept_.insert_or_assign(std::string(messenger), kept);
}

}  // namespace zonbode::app
