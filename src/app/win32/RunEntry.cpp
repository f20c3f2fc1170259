#include "app/win32/RunEntry.h"

#include <windows.h>

#include <vector>

#include "app/win32/ProgramPath.h"

namespace zonbode::app::win32 {

std::wstring RunEntry::OwnPath() {
    return ProgramPath();
}

SignInEntry::State RunEntry::Look() const {
    DWORD type = 0;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, nullptr,
                     &size) != ERROR_SUCCESS) {
        return State::Missing;
    }
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, text.data(),
                     &size) != ERROR_SUCCESS) {
        return State::Elsewhere;  // there, but not readable
    }
    const std::wstring wanted = Command();
    // Paths on Windows are the same whatever their case.
    const bool same = CompareStringOrdinal(text.data(), -1, wanted.c_str(),
                                           static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL;
    return same ? State::InPlace : State::Elsewhere;
}

void RunEntry::Put() {
    if (programPath_.empty()) {
        return;  // the program's own path is unknown: better no entry than a wrong one
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const std::wstring command = Command();
    RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void RunEntry::Remove() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, kValueName);
        RegCloseKey(key);
    }
}

}  // namespace zonbode::app::win32
