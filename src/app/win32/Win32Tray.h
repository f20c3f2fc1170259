#pragma once

#include <windows.h>

#include <shellapi.h>

#include "app/Ports.h"

namespace zonbode::app::win32 {

// The notification-area icon: the window's icon, tip "Zonbode", uID 1. Mouse events over it
// reach the window as kCallbackMessage with the mouse message in lParam; a private message,
// so a real mouse move over the window can never pass for a click on the icon.
//
// The icon is shown only once the shell has taken it: before the taskbar is up (a program
// started at logon) the add fails. The shell announces a new taskbar with the registered
// message "TaskbarCreated"; the window forwards it to Form1, which adds the icon again. A shell
// that died took the icon with it and may never announce a new taskbar, so whether the icon is
// shown is asked of the shell each time.
class Win32Tray final : public Tray {
public:
    static constexpr UINT kCallbackMessage = WM_APP + 1;

    Win32Tray(HWND window, HICON icon);

    void AddTrayIcon() override;
    void RemoveTrayIcon() override;
    bool IsIconShown() const override;

    static UINT TaskbarCreatedMessage();

private:
    NOTIFYICONDATAW Data() const;

    HWND window_;
    HICON icon_;
    bool added_ = false;  // between an add the shell took and the removal
};

}  // namespace zonbode::app::win32
