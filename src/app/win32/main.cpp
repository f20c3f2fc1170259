// zonbode.exe: the Windows desktop program.
//   zonbode [--host HOST] [--port PORT]
// fetches the forecast from HOST:PORT instead of the institute's web server.
//
// Test hook: with ZONBODE_TEST_DOUBLE_CLICK_ROW=N in the environment, row N is selected and
// double-clicked once, as soon as an update has filled the list that far.

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/Form1.h"
#include "app/SystemClock.h"
#include "app/win32/CopyDataTransport.h"
#include "app/win32/MainWindow.h"
#include "app/win32/RegistryStore.h"
#include "app/win32/WideText.h"
#include "app/win32/Win32ProcessControl.h"
#include "app/win32/Win32Timers.h"
#include "app/win32/Win32Tray.h"

namespace {

constexpr char kUsage[] = "usage: zonbode [--host HOST] [--port PORT]\n";

std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> arguments;
    int count = 0;
    if (LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) {
            arguments.push_back(zonbode::app::win32::Narrow(list[i]));
        }
        LocalFree(list);
    }
    return arguments;
}

bool ParsePort(std::string_view text, std::uint16_t& port) {
    if (text.empty() || text.size() > 5) {
        return false;
    }
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) {
        return false;
    }
    port = static_cast<std::uint16_t>(value);
    return true;
}

// 0 when the options are good; otherwise the exit code (help: 0 after printing, -1 here).
int ParseOptions(const std::vector<std::string>& arguments, zonbode::app::ForecastServer& server,
                 bool& helpShown) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            helpShown = true;
            return 0;
        }
        if (i + 1 >= arguments.size() || (option != "--host" && option != "--port")) {
            std::fprintf(stderr, "zonbode: unknown or incomplete option '%s'\n%s", option.c_str(),
                         kUsage);
            return 2;
        }
        const std::string& value = arguments[++i];
        if (option == "--host") {
            if (value.empty()) {
                std::fprintf(stderr, "zonbode: --host needs a host name\n%s", kUsage);
                return 2;
            }
            server.host = value;
        } else if (!ParsePort(value, server.port)) {
            std::fprintf(stderr, "zonbode: '%s' is not a port (1-65535)\n%s", value.c_str(),
                         kUsage);
            return 2;
        }
    }
    return 0;
}

int DoubleClickRowFromEnvironment() {
    const char* value = std::getenv("ZONBODE_TEST_DOUBLE_CLICK_ROW");
    return value != nullptr ? std::atoi(value) : 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    zonbode::app::ForecastServer server;
    bool helpShown = false;
    if (int code = ParseOptions(CommandLineArguments(), server, helpShown);
        code != 0 || helpShown) {
        return code;
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
        .taskbarCreated = [&tray] { tray.TaskbarCreated(); },
    });
    if (const int row = DoubleClickRowFromEnvironment(); row > 0) {
        window.DoubleClickRowWhenFilled(row);
    }

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
