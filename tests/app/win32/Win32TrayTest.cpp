// The tray icon on wine's notification area: shown once the shell has taken it, added again
// when a new taskbar announces itself, and asked of the shell when it matters (a shell that
// died took the icon with it and may never announce a new taskbar).

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>

#include "app/Form1.h"
#include "app/fakes/FakePorts.h"
#include "app/win32/MainWindow.h"
#include "app/win32/Win32Tray.h"

namespace zonbode::app::win32 {
namespace {

// Whether the shell holds the window's icon: modifying it succeeds only then.
bool ShellHasIcon(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_TIP;
    std::wcscpy(data.szTip, L"Zonbode");
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// A restarted shell has forgotten every icon.
void ShellForgetsIcon(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
}

TEST(Win32Tray, TheIconIsShownOnceTheShellHasItAndNotAfterItsRemoval) {
    MainWindow window(GetModuleHandleW(nullptr));
    Win32Tray tray(window.Handle(), window.Icon());
    EXPECT_FALSE(tray.IsIconShown());
    tray.AddTrayIcon();
    EXPECT_TRUE(tray.IsIconShown());
    EXPECT_TRUE(ShellHasIcon(window.Handle()));
    tray.AddTrayIcon();  // the shell has it already: still shown, not doubled
    EXPECT_TRUE(tray.IsIconShown());
    tray.RemoveTrayIcon();
    EXPECT_FALSE(tray.IsIconShown());
    EXPECT_FALSE(ShellHasIcon(window.Handle()));
}

// The window, its tray icon and a Form1 over them (the other ports faked), wired as the program
// wires them; each test loads the form itself.
class Win32TrayForm : public ::testing::Test {
protected:
    Win32TrayForm() { window.SetEvents(Form1Events(form, {})); }

    MainWindow window{GetModuleHandleW(nullptr)};
    Win32Tray tray{window.Handle(), window.Icon()};
    fakes::FakePorts fakes;
    Form1 form{Ports{window, fakes.timers, fakes.settings, fakes.messenger, tray, fakes.process,
                     fakes.clock, fakes.signIn},
               ForecastServer{"127.0.0.1", 1}};
};

TEST_F(Win32TrayForm, AnIconTheShellLostIsNotShownAndAMinimizeAddsItBeforeHiding) {
    form.Form_Load();
    ASSERT_TRUE(tray.IsIconShown());

    ShellForgetsIcon(window.Handle());  // the shell died; no new taskbar has announced itself
    EXPECT_FALSE(tray.IsIconShown());
    ShowWindow(window.Handle(), SW_MINIMIZE);
    EXPECT_TRUE(ShellHasIcon(window.Handle())) << "hidden without an icon to bring it back";
    EXPECT_FALSE(window.IsShown());
    form.Form_Unload();
}

TEST_F(Win32TrayForm, ANewTaskbarGetsTheIconAgainAndTheWindowStaysInTheTray) {
    form.Form_Load();
    ASSERT_TRUE(window.IsShown());
    ShowWindow(window.Handle(), SW_MINIMIZE);  // as the minimize button does
    ASSERT_FALSE(window.IsShown());

    ShellForgetsIcon(window.Handle());
    SendMessageW(window.Handle(), Win32Tray::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(ShellHasIcon(window.Handle())) << "the icon was added again";
    EXPECT_TRUE(tray.IsIconShown());
    EXPECT_FALSE(window.IsShown());

    // Once removed for good (the unload), a new taskbar does not bring it back.
    form.Form_Unload();
    SendMessageW(window.Handle(), Win32Tray::TaskbarCreatedMessage(), 0, 0);
    EXPECT_FALSE(ShellHasIcon(window.Handle()));
}

}  // namespace
}  // namespace zonbode::app::win32
