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
#include "app/SettingsRestorePoints.h"
#include "app/StoredTeamsApp.h"
#include "app/SystemClock.h"
#include "app/WindowEvents.h"
#include "app/win32/CommandLine.h"
#include "app/win32/MainWindow.h"
#include "app/win32/OptionTextOutput.h"
#include "app/win32/RegistryStore.h"
#include "app/win32/RunEntry.h"
#include "app/win32/SlackDialog.h"
#include "app/win32/TeamsDialog.h"
#include "app/win32/Win32ProcessControl.h"
#include "app/win32/Win32RunningCopies.h"
#include "app/win32/Win32Timers.h"
#include "app/win32/Win32Tray.h"
#include "messengers/MessengerTransportList.h"
#include "messengers/copydata/win32/CopyDataTransport.h"
#include "messengers/slack/SlackHttp.h"
#include "messengers/slack/SlackLink.h"
#include "messengers/teams/TeamsHttp.h"
#include "messengers/teams/TeamsLink.h"
#include "net/EventLoop.h"
#include "secrets/win32/CredentialStore.h"

namespace zonbode::app::win32 {
namespace {

void ReportLiveProblem(const std::string& text) {
    WriteOptionTextOrBox(OptionText::Problem, "zonbode: " + text + "\n");
}

void LoadCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
}

// Where a status goes: the windows of class "MsnMsgrUIManager" first, then Slack and Teams,
// which ask for attention in the window's status bar.
struct Messengers {
    Messengers(const DesktopOptions& options, MainWindow& window, SettingsStore& settings)
        : slackApi(options.slackApi),
          slack(slackToken, slackApi, slackRestorePoints, zonbode::net::EventLoop::PostTask,
                [&window](const std::string& text) { window.SetStatusText(text); }),
          teamsApi(options.loginApi, options.graphApi),
          teams(teamsToken, teamsApi, teamsRestorePoints, ReadTeamsApp(settings),
                zonbode::net::EventLoop::PostTask,
                [&window](const std::string& text) { window.SetStatusText(text); }) {}

    // Slack and Teams keep their restore points from threads of their own, each with a
    // settings object of its own.
    RegistryStore slackSettings, teamsSettings;
    SettingsRestorePoints slackRestorePoints{slackSettings}, teamsRestorePoints{teamsSettings};
    messengers::win32::CopyDataTransport copyData;
    secrets::CredentialStore slackToken{L"Zonbode/Slack"};
    messengers::SlackHttp slackApi;
    messengers::SlackLink slack;
    secrets::CredentialStore teamsToken{L"Zonbode/Teams"};
    messengers::TeamsHttp teamsApi;
    messengers::TeamsLink teams;
    messengers::MessengerTransportList all{{&copyData, &slack, &teams}};
};

// Runs until the window's end posts WM_QUIT; returns the exit code it carries.
int RunMessageLoop(MainWindow& window) {
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

}  // namespace
}  // namespace zonbode::app::win32

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace zonbode::app::win32;
    zonbode::app::DesktopOptions options;
    if (const std::optional<int> exitCode = zonbode::app::ReadDesktopOptions(
            CommandLineArguments(), options, WriteOptionTextOrBox)) {
        return *exitCode;
    }
    options.live.report = ReportLiveProblem;

    Win32RunningCopies copies;
    if (!zonbode::app::GoOnAsTheRunningCopy(copies)) {
        return 0;
    }
    LoadCommonControls();
    InstallErrorMessageBox();
    MainWindow window(instance);
    if (window.Handle() == nullptr) {
        std::fputs("zonbode: the main window could not be created\n", stderr);
        return 1;
    }
    Win32Timers timers;
    RegistryStore settings;
    Messengers messengers(options, window, settings);
    Win32Tray tray(window.Handle(), window.Icon());
    Win32ProcessControl process;
    zonbode::app::SystemClock clock;
    RunEntry signIn(RunEntry::OwnPath());

    const zonbode::app::Ports ports{window, timers,  settings, messengers.all,
                                    tray,   process, clock,    signIn};
    const std::unique_ptr<zonbode::app::Form1> owned =
        zonbode::app::CreateForm1(ports, std::move(options));
    zonbode::app::Form1& form = *owned;
    window.SetEvents(zonbode::app::Form1Events(
        form,
        [&window, &messengers] {
            SlackDialog(window.Instance(), window.Handle(), window.Font(), messengers.slack).Run();
        },
        [&window, &messengers, &settings] {
            TeamsDialog(window.Instance(), window.Handle(), window.Font(), messengers.teams,
                        settings)
                .Run();
        }));

    // Start-up shows the window itself, minimized or not at all where the stored choice says.
    form.Form_Load();
    return RunMessageLoop(window);
}
