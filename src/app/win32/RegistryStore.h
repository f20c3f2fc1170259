#pragma once

#include "app/Ports.h"

namespace zonbode::app::win32 {

// The stored settings as registry values, addressed by their full value path
// ("HKEY_CURRENT_USER\Software\Kavelo\Zonbode\PSM"; HKCU, HKLM and the other short root
// names work too). Reads give a REG_SZ as stored and a REG_DWORD as its decimal digits;
// writes create the missing keys. Nothing here ever reports a failure.
class RegistryStore final : public SettingsStore {
public:
    std::string ReadRegValue(const std::string& valuePath) override;
    void WriteRegString(const std::string& valuePath, const std::string& text) override;
    void WriteRegDword(const std::string& valuePath, std::int16_t value) override;
};

}  // namespace zonbode::app::win32
