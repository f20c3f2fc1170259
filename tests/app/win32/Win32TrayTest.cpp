// The tray icon on wine's notification area, and its re-adding when the taskbar comes back.

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>

#include "app/win32/MainWindow.h"
#include "app/win32/Win32Tray.h"

namespace zonbode::app::win32 {
namespace {

TEST(Win32Tray, AddsAndRemovesTheIconOfTheWindow) {
    MainWindow window(GetModuleHandleW(nullptr));
    Win32Tray tray(window.Handle(), window.Icon());
    tray.AddTrayIcon();
    EXPECT_TRUE(tray.IsAvailable());
    // The shell knows the icon now: modifying it succeeds, and after removal it fails.
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window.Handle();
    data.uID = 1;
    data.uFlags = NIF_TIP;
    std::wcscpy(data.szTip, L"Zonbode");
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data));
    tray.RemoveTrayIcon();
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &data));
}

TEST(Win32Tray, TheIconComesBackWhenTheTaskbarIsCreatedAgain) {
    MainWindow window(GetModuleHandleW(nullptr));
    Win32Tray tray(window.Handle(), window.Icon());
    WindowEvents events;
    events.taskbarCreated = [&tray] { tray.TaskbarCreated(); };
    window.SetEvents(events);
    tray.AddTrayIcon();
    // A restarted shell has forgotten every icon, then announces itself.
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window.Handle();
    data.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    SendMessageW(window.Handle(), Win32Tray::TaskbarCreatedMessage(), 0, 0);
    data.uFlags = NIF_TIP;
    std::wcscpy(data.szTip, L"Zonbode");
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data)) << "the icon was added again";
    tray.RemoveTrayIcon();

    // Once removed for good, a new taskbar does not bring it back.
    SendMessageW(window.Handle(), Win32Tray::TaskbarCreatedMessage(), 0, 0);
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &data));
}

}  // namespace
}  // namespace zonbode::app::win32
