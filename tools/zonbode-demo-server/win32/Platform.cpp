#include "Platform.h"

#include <windows.h>

namespace zonbode::demo {
namespace {

volatile LONG stopRequested = 0;

BOOL WINAPI OnConsoleControl(DWORD type) {
    switch (type) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            InterlockedExchange(&stopRequested, 1);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void WatchStopRequests() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool StopRequested() {
    return InterlockedCompareExchange(&stopRequested, 0, 0) != 0;
}

std::string ExecutableFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::string file(path, length);
    const auto slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

}  // namespace zonbode::demo
