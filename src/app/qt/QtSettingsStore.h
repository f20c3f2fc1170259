#pragma once

#include <QString>
#include <optional>

#include "app/Ports.h"

namespace zonbode::app::qt {

// The stored values in an INI file: organisation "Kavelo", application "Zonbode", user
// scope, so $XDG_CONFIG_HOME/Kavelo/Zonbode.ini. The value path
// "HKEY_CURRENT_USER\Software\Kavelo\Zonbode\PSM" is the key PSM; paths outside that key
// are not ours and read as "".
class QtSettingsStore : public SettingsStore {
public:
    std::string ReadRegValue(const std::string& valuePath) override;
    void WriteRegString(const std::string& valuePath, const std::string& text) override;
    void WriteRegDword(const std::string& valuePath, std::int16_t value) override;
    void WriteRegValues(const std::vector<StoredValue>& values) override;

    // The INI key of a value path, or nothing when the path lies outside our key.
    static std::optional<QString> KeyOf(const std::string& valuePath);
    // Where the file lives.
    static QString FilePath();
};

}  // namespace zonbode::app::qt
