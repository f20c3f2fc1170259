#pragma once

#include <windows.h>

#include <shellapi.h>

#include "app/Ports.h"

namespace zonbode::app::win32 {

// The notification-area icon: the window's icon, tip "Zonbode", uID 1. Mouse events over it
// reach the window as kCallbackMessage with the mouse message in lParam; a private message,
// so a real mouse move over the window can never pass for a click on the icon.
class Win32Tray final : public Tray {
public:
    static constexpr UINT kCallbackMessage = WM_APP + 1;

    Win32Tray(HWND window, HICON icon);

    bool IsAvailable() const override;
    void AddTrayIcon() override;
    void RemoveTrayIcon() override;

    // The taskbar was created anew (explorer restarted): the icon has to be added again,
    // or a hidden window could never be restored.
    void TaskbarCreated();
    static UINT TaskbarCreatedMessage();

private:
    NOTIFYICONDATAW Data() const;

    HWND window_;
    HICON icon_;
    bool added_ = false;
};

}  // namespace zonbode::app::win32
