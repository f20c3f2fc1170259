// The notification windows of the POSIX build: logical endpoints with a window procedure,
// fed by the queue (NotificationQueue.cpp). Used on the loop's thread only.

#include <map>

#include "net/Diagnostics.h"
#include "net/WindowsSocketsCodes.h"
#include "net/posix/Endpoint.h"

namespace zonbode::net::posix {
namespace {

std::intptr_t DefaultWindowProc(sys::WindowHandle, std::uint32_t, std::intptr_t, std::intptr_t) {
    return 0;
}

struct Windows {
    std::map<sys::WindowHandle, sys::WindowProc> procs;
    sys::WindowHandle next = 1;
};

Windows& TheWindows() {
    static auto* windows = new Windows;
    return *windows;
}

}  // namespace

sys::WindowProc WindowProcOf(sys::WindowHandle window) {
    auto& procs = TheWindows().procs;
    auto it = procs.find(window);
    return it == procs.end() ? nullptr : it->second;
}

}  // namespace zonbode::net::posix

namespace zonbode::net::sys {

using posix::TheWindows;

WindowHandle CreateNotificationWindow() {
    auto& windows = TheWindows();
    WindowHandle handle = windows.next++;
    windows.procs.emplace(handle, &posix::DefaultWindowProc);
    return handle;
}

bool DestroyNotificationWindow(WindowHandle window) {
    if (TheWindows().procs.erase(window) == 0) {
        posix::SetLastError(WsaCode("WSAEINVAL"));
        return false;
    }
    posix::DropWindowMessages(window);
    return true;
}

std::intptr_t SetWindowProc(WindowHandle window, WindowProc proc) {
    auto& procs = TheWindows().procs;
    auto it = procs.find(window);
    if (it == procs.end() || proc == nullptr) {
        return 0;
    }
    auto previous = reinterpret_cast<std::intptr_t>(it->second);
    it->second = proc;
    return previous;
}

void RestoreWindowProc(WindowHandle window, std::intptr_t previous) {
    auto& procs = TheWindows().procs;
    auto it = procs.find(window);
    if (it != procs.end() && previous != 0) {
        it->second = reinterpret_cast<WindowProc>(previous);
    }
}

std::intptr_t CallPreviousWindowProc(std::intptr_t previous, WindowHandle window,
                                     std::uint32_t message, std::intptr_t wParam,
                                     std::intptr_t lParam) {
    if (previous == 0) {
        return 0;
    }
    return reinterpret_cast<WindowProc>(previous)(window, message, wParam, lParam);
}

bool PostNotification(WindowHandle window, std::uint32_t message, std::intptr_t wParam,
                      std::intptr_t lParam) {
    if (TheWindows().procs.count(window) == 0) {
        posix::SetLastError(WsaCode("WSAEINVAL"));
        return false;
    }
    posix::PostMessage({window, message, wParam, lParam, 0, kInvalidSocket});
    return true;
}

bool PeekNotification(WindowHandle window, std::uint32_t message, std::intptr_t* wParam,
                      std::intptr_t* lParam) {
    posix::GatherReadiness(0);
    posix::Message found;
    if (!posix::FindQueued(window, message, &found)) {
        return false;
    }
    *wParam = found.wParam;
    *lParam = found.lParam;
    return true;
}

}  // namespace zonbode::net::sys
