#pragma once

#include <windows.h>

#include "app/RunningCopy.h"

namespace zonbode::app::win32 {

// The running copy holds a named mutex in the session's own namespace ("Local\"); the system
// lets go of it when the process ends, however it ends. A later start posts the running
// copy's window kWakeMessage, which brings it to the front.
class Win32RunningCopies final : public RunningCopies {
public:
    Win32RunningCopies() = default;
    ~Win32RunningCopies() override;
    Win32RunningCopies(const Win32RunningCopies&) = delete;
    Win32RunningCopies& operator=(const Win32RunningCopies&) = delete;

    bool ClaimRunningCopy() override;
    void WakeRunningCopy() override;

    // The message the running copy's window is woken with.
    static UINT WakeMessage();

private:
    HANDLE mutex_ = nullptr;
};

}  // namespace zonbode::app::win32
