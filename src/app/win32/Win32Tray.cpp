#include "app/win32/Win32Tray.h"

#include <cwchar>

namespace zonbode::app::win32 {

Win32Tray::Win32Tray(HWND window, HICON icon) : window_(window), icon_(icon) {}

NOTIFYICONDATAW Win32Tray::Data() const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_;
    std::wcsncpy(data.szTip, L"Zonbode", sizeof data.szTip / sizeof data.szTip[0] - 1);
    return data;
}

void Win32Tray::AddTrayIcon() {
    NOTIFYICONDATAW data = Data();
    // An add fails for an icon the shell has already; modifying it then shows it is there.
    added_ =
        Shell_NotifyIconW(NIM_ADD, &data) != FALSE || Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// Modifying succeeds only for an icon the shell holds.
bool Win32Tray::IsIconShown() const {
    NOTIFYICONDATAW data = Data();
    return added_ && Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void Win32Tray::RemoveTrayIcon() {
    NOTIFYICONDATAW data = Data();
    Shell_NotifyIconW(NIM_DELETE, &data);
    added_ = false;
}

UINT Win32Tray::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

}  // namespace zonbode::app::win32
