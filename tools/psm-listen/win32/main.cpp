// psm-listen.exe: stands in for the messenger client. Registers the window class
// "MsnMsgrUIManager", creates a top-level window of it, prints "ready", and then prints one
// line per WM_COPYDATA received: dwData and the record bytes, both in lowercase hex.
//   psm-listen [--decode] [--version]     --decode adds a readable line after each record
// Ends when its window is closed, on Ctrl+C, and when the session ends (in the session's order,
// through its window, like any program with a window).

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "RecordFormat.h"
#include "options/VersionOption.h"

namespace {

bool decode = false;
HWND listenerWindow = nullptr;

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            std::span<const std::uint8_t> record(static_cast<const std::uint8_t*>(data->lpData),
                                                 data->cbData);
            const auto dwData = static_cast<std::uint32_t>(data->dwData);
            std::printf("%s\n", zonbode::psmlisten::HexLine(dwData, record).c_str());
            if (decode) {
                std::printf("%s\n", zonbode::psmlisten::DecodedLine(dwData, record).c_str());
            }
            std::fflush(stdout);
            return TRUE;
        }
        case WM_ENDSESSION:
            if (wParam != FALSE) {
                DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Ctrl+C closes this listener's own window (not the first of the class: that may be another
// listener's). Signing out is left to the window's WM_ENDSESSION, which comes in the order the
// programs started, so a listener started after Zonbode still hears its switch-off record.
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT) {
        PostMessageA(listenerWindow, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> exitCode =
            zonbode::AnswerVersion("psm-listen", std::vector<std::string>(argv + 1, argv + argc))) {
        return *exitCode;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--decode") == 0) {
            decode = true;
        } else {
            std::fprintf(stderr, "usage: psm-listen [--decode] [--version]\n");
            return 2;
        }
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &ListenerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "MsnMsgrUIManager";
    if (RegisterClassA(&windowClass) == 0) {
        std::fprintf(stderr, "psm-listen: cannot register the window class\n");
        return 1;
    }
    // Top-level (not message-only): the messenger's windows are found among those.
    listenerWindow = CreateWindowExA(0, "MsnMsgrUIManager", "psm-listen", WS_OVERLAPPED, 0, 0, 0, 0,
                                     nullptr, nullptr, instance, nullptr);
    if (listenerWindow == nullptr) {
        std::fprintf(stderr, "psm-listen: cannot create the window\n");
        return 1;
    }
    SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
    std::printf("ready\n");
    std::fflush(stdout);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
