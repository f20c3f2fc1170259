#pragma once

#include <string>

#include "app/Ports.h"

namespace zonbode::app::win32 {

// The value "Zonbode" under HKCU\Software\Microsoft\Windows\CurrentVersion\Run: the program's
// own path, quoted, as the setup program writes it too. A copy that has moved finds the value
// naming another path ("elsewhere") and writes it anew.
class RunEntry final : public SignInEntry {
public:
    static constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr wchar_t kValueName[] = L"Zonbode";

    // programPath: the running program's own file (GetModuleFileNameW).
    explicit RunEntry(std::wstring programPath) : programPath_(std::move(programPath)) {}
    // The running program's own file.
    static std::wstring OwnPath();
    // What the value holds while it is in place.
    std::wstring Command() const { return L"\"" + programPath_ + L"\""; }

    State Look() const override;
    void Put() override;
    void Remove() override;

private:
    std::wstring programPath_;
};

}  // namespace zonbode::app::win32
