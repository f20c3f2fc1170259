// zonbode.exe: the Windows desktop program.
//   zonbode [--place NAME] [--api-url URL] [--geocoding-url URL] [--slack-url URL]
// shows the live forecast for the stored place (or NAME);
//   zonbode --host HOST [--port PORT] [--slack-url URL]
// fetches the forecast page from HOST:PORT instead. Slack's Web API is at URL.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/Form1.h"
#include "app/RunningCopy.h"
#include "app/ServerOptions.h"
#include "app/SlackHttp.h"
#include "app/SlackLink.h"
#include "app/SystemClock.h"
#include "app/win32/CommandLine.h"
#include "app/win32/CopyDataTransport.h"
#include "app/win32/CredentialStore.h"
#include "app/win32/MainWindow.h"
#include "app/win32/OptionTextOutput.h"
#include "app/win32/RegistryStore.h"
#include "app/win32/RunEntry.h"
#include "app/win32/SlackDialog.h"
#include "app/win32/Win32ProcessControl.h"
#include "app/win32/Win32RunningCopies.h"
#include "app/win32/Win32Timers.h"
#include "app/win32/Win32Tray.h"
#include "status/MessengerTransportList.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    zonbode::app::DesktopOptions options;
    if (const std::optional<int> exitCode =
            zonbode::app::ReadDesktopOptions(zonbode::app::win32::CommandLineArguments(), options,
                                             zonbode::app::win32::WriteOptionTextOrBox)) {
        return *exitCode;
    }
    options.live.report = [](const std::string& text) {
        zonbode::app::win32::WriteOptionTextOrBox(zonbode::app::OptionText::Problem,
                                                  "zonbode: " + text + "\n");
    };

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
    // The windows of class "MsnMsgrUIManager" first, then Slack.
    CopyDataTransport copyData;
    CredentialStore slackToken(L"Zonbode/Slack");
    zonbode::app::SlackHttp slackApi(options.slackApi);
    zonbode::app::SlackLink slack(
        slackToken, slackApi, [&window](const std::string& text) { window.SetStatusText(text); });
    zonbode::status::MessengerTransportList messenger({&copyData, &slack});
    Win32Tray tray(window.Handle(), window.Icon());
    Win32ProcessControl process;
    zonbode::app::SystemClock clock;
    RunEntry signIn(RunEntry::OwnPath());

    const zonbode::app::Ports ports{window, timers,  settings, messenger,
                                    tray,   process, clock,    signIn};
    const std::unique_ptr<zonbode::app::Form1> owned =
        zonbode::app::CreateForm1(ports, std::move(options));
    zonbode::app::Form1& form = *owned;
    window.SetEvents({
        .formUnload = [&form] { form.Form_Unload(); },
        .formResize = [&form] { form.Form_Resize(); },
        .command1Click = [&form] { form.Command1_Click(); },
        .command2Click = [&form] { form.Command2_Click(); },
        .check1Click = [&form] { form.Check1_Click(); },
        .check4Click = [&form] { form.Check4_Click(); },
        .listView1DblClick = [&form] { form.ListView1_DblClick(); },
        .command3Click = [&form] { form.Command3_Click(); },
        .combo1Click = [&form] { form.Combo1_Click(); },
        .slackButtonClick =
            [&window, &slack] {
                SlackDialog(window.Instance(), window.Handle(), window.Font(), slack).Run();
            },
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
