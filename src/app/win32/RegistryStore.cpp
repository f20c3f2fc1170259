#include "app/win32/RegistryStore.h"

#include <windows.h>

#include <array>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "app/win32/WideText.h"

namespace zonbode::app::win32 {
namespace {

struct ValueAddress {
    HKEY root;
    std::wstring key;
    std::wstring value;
};

// Splits "ROOT\key\path\value" into its root key, key path and value name.
std::optional<ValueAddress> Parse(const std::string& valuePath) {
    static const std::array<std::pair<std::string_view, HKEY>, 10> kRoots{{
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKCU", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKLM", HKEY_LOCAL_MACHINE},
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKCR", HKEY_CLASSES_ROOT},
        {"HKEY_USERS", HKEY_USERS},
        {"HKU", HKEY_USERS},
        {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKCC", HKEY_CURRENT_CONFIG},
    }};
    const auto firstSlash = valuePath.find('\\');
    const auto lastSlash = valuePath.rfind('\\');
    if (firstSlash == std::string::npos || lastSlash + 1 >= valuePath.size()) {
        return std::nullopt;  // no key, or a key path without a value name
    }
    const std::string_view rootName(valuePath.data(), firstSlash);
    for (const auto& [name, root] : kRoots) {
        if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name.data(),
                           static_cast<int>(name.size()), rootName.data(),
                           static_cast<int>(rootName.size())) == CSTR_EQUAL) {
            std::string key = lastSlash > firstSlash
                                  ? valuePath.substr(firstSlash + 1, lastSlash - firstSlash - 1)
                                  : std::string();
            return ValueAddress{root, Widen(key), Widen(valuePath.substr(lastSlash + 1))};
        }
    }
    return std::nullopt;
}

HKEY CreateKey(const ValueAddress& address) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(address.root, address.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

}  // namespace

std::string RegistryStore::ReadRegValue(const std::string& valuePath) {
    const auto address = Parse(valuePath);
    if (!address) {
        return {};
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(address->root, address->key.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return {};
    }
    DWORD type = 0;
    DWORD size = 0;
    std::string result;
    if (RegQueryValueExW(key, address->value.c_str(), nullptr, &type, nullptr, &size) ==
        ERROR_SUCCESS) {
        std::vector<BYTE> data(size + sizeof(wchar_t));  // room for a missing terminator
        if (RegQueryValueExW(key, address->value.c_str(), nullptr, &type, data.data(), &size) ==
            ERROR_SUCCESS) {
            if (type == REG_SZ || type == REG_EXPAND_SZ) {
                std::wstring text(reinterpret_cast<const wchar_t*>(data.data()),
                                  size / sizeof(wchar_t));
                while (!text.empty() && text.back() == L'\0') {
                    text.pop_back();
                }
                result = Narrow(text);
            } else if (type == REG_DWORD && size == sizeof(DWORD)) {
                DWORD number = 0;
                std::memcpy(&number, data.data(), sizeof number);
                result = std::to_string(static_cast<std::int32_t>(number));
            }
        }
    }
    RegCloseKey(key);
    return result;
}

void RegistryStore::WriteRegString(const std::string& valuePath, const std::string& text) {
    const auto address = Parse(valuePath);
    if (!address) {
        return;
    }
    if (HKEY key = CreateKey(*address)) {
        const std::wstring wide = Widen(text);
        RegSetValueExW(key, address->value.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(wide.c_str()),
                       static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

void RegistryStore::WriteRegDword(const std::string& valuePath, std::int16_t value) {
    const auto address = Parse(valuePath);
    if (!address) {
        return;
    }
    if (HKEY key = CreateKey(*address)) {
        // A negative number is stored as its 32-bit two's complement.
        const auto number = static_cast<DWORD>(static_cast<std::int32_t>(value));
        RegSetValueExW(key, address->value.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&number), sizeof number);
        RegCloseKey(key);
    }
}

}  // namespace zonbode::app::win32
