#include "app/win32/Win32RunningCopies.h"

#include "app/win32/MainWindow.h"

namespace zonbode::app::win32 {

Win32RunningCopies::~Win32RunningCopies() {
    if (mutex_ != nullptr) {
        CloseHandle(mutex_);
    }
}

bool Win32RunningCopies::ClaimRunningCopy() {
    mutex_ = CreateMutexW(nullptr, FALSE, L"Local\\nl.kavelo.Zonbode");
    // Without a mutex at all there is nobody to hand over to.
    return mutex_ == nullptr || GetLastError() != ERROR_ALREADY_EXISTS;
}

// The running copy may be starting still, its window not yet made: it is looked for a few
// seconds. The foreground is the starting copy's to give, so it lets the running one take it.
void Win32RunningCopies::WakeRunningCopy() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (HWND window = FindWindowW(MainWindow::kClassName, nullptr)) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            AllowSetForegroundWindow(process);
            PostMessageW(window, WakeMessage(), 0, 0);
            return;
        }
        Sleep(100);
    }
}

UINT Win32RunningCopies::WakeMessage() {
    static const UINT message = RegisterWindowMessageW(L"nl.kavelo.Zonbode.Wake");
    return message;
}

}  // namespace zonbode::app::win32
