// zonbode.exe: the Windows desktop program.
//   zonbode [--host HOST] [--port PORT] [--version]
// fetches the forecast from HOST:PORT instead of the institute's web server.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <optional>

#include "app/Form1.h"
#include "app/RunningCopy.h"
#include "app/ServerOptions.h"
#include "app/SystemClock.h"
#include "app/win32/CommandLine.h"
#include "app/win32/CopyDataTransport.h"
#include "app/win32/MainWindow.h"
#include "app/win32/OptionTextOutput.h"
#include "app/win32/RegistryStore.h"
#include "app/win32/Win32ProcessControl.h"
#include "app/win32/Win32RunningCopies.h"
#include "app/win32/Win32Timers.h"
#include "app/win32/Win32Tray.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    zonbode::app::ForecastServer server;
    if (const std::optional<int> exitCode =
            zonbode::app::ReadDesktopOptions(zonbode::app::win32::CommandLineArguments(), server,
                                             zonbode::app::win32::WriteOptionTextOrBox)) {
        return *exitCode;
    }

    zonbode::app::win32::Win32RunningCopies copies;
    if (!zonbode::app::GoOnAsTheRunningCopy(copies)) {
        return 0;
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    using namespace zonbode::app::win32;
    InstallErrorMessageBox();
    MainWindow window(instance);
    if (window.Handle() == nullptr) {
        std::fputs("zonbode: the main window could not be created\n", stderr);
        return 1;
    }
    Win32Timers timers;
    RegistryStore settings;
    CopyDataTransport messenger;
    Win32Tray tray(window.Handle(), window.Icon());
    Win32ProcessControl process;
    zonbode::app::SystemClock clock;

    zonbode::app::Form1 form({window, timers, settings, messenger, tray, process, clock}, server);
    window.SetEvents({
        .formUnload = [&form] { form.Form_Unload(); },
        .formResize = [&form] { form.Form_Resize(); },
        .command1Click = [&form] { form.Command1_Click(); },
        .command2Click = [&form] { form.Command2_Click(); },
        .check1Click = [&form] { form.Check1_Click(); },
        .listView1DblClick = [&form] { form.ListView1_DblClick(); },
        .trayCallback = [&form](int mouseMessage) { form.TrayIcon_Callback(mouseMessage); },
        .taskbarCreated = [&form] { form.TaskbarCreated(); },
        .anotherCopyStarted = [&form] { form.AnotherCopyStarted(); },
    });

    // Start-up shows the window itself, minimized or not at all where the stored choice says.
    form.Form_Load();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, Shift+Tab and the other dialog keys move through the controls.
        if (window.Handle() != nullptr && IsDialogMessageW(window.Handle(), &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
