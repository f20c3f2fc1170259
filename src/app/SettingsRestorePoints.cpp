#include "app/SettingsRestorePoints.h"

#include "app/StoredSettings.h"

namespace zonbode::app {
namespace {

std::string ValuePath(std::string_view messenger) {
    return settings::SettingPath(std::string("Herstel").append(messenger));
}

}  // namespace

std::string SettingsRestorePoints::Read(std::string_view messenger) {
    return settings_.ReadRegValue(ValuePath(messenger));
}

void SettingsRestorePoints::Write(std::string_view messenger, const std::string& kept) {
    settings_.WriteRegString(ValuePath(messenger), kept);
}

}  // namespace zonbode::app
