#include "StopRequests.h"

#include <windows.h>

namespace zonbode::pageserver {
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

}  // namespace zonbode::pageserver
