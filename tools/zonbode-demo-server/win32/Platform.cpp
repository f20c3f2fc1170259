#include "Platform.h"

#include <windows.h>

#include <atomic>

namespace zonbode::demo {
namespace {

std::atomic<bool> stopRequested{false};

// Runs on a thread of its own when Ctrl+C, Ctrl+Break or closing the console asks to stop.
BOOL WINAPI OnConsoleControl(DWORD) {
    stopRequested = true;
    return TRUE;
}

}  // namespace

void WatchStopRequests() {
    SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
}

bool StopRequested() {
    return stopRequested;
}

std::string ExecutableFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::string file(path, length);
    const auto slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

}  // namespace zonbode::demo
