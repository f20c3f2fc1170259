// The hidden window that Winsock posts the socket layer's notifications to: a plain
// "STATIC" window, so no window class of our own has to be registered. Its procedure
// (SetWindowProc, RestoreWindowProc, CallPreviousWindowProc) is hooked in WindowProcHook.cpp.

#include "net/SocketApi.h"

#include "net/Diagnostics.h"
#include "net/win32/AsyncLookups.h"
#include "net/win32/AsyncSelect.h"
#include "net/win32/WindowProcHook.h"

namespace zonbode::net::sys {

WindowHandle CreateNotificationWindow() {
    HWND window = CreateWindowExA(0, "STATIC", "SOCKET_WINDOW", 0, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    return win32::FromWindow(window);
}

bool DestroyNotificationWindow(WindowHandle window) {
    HWND native = win32::ToWindow(window);
    win32::UnhookWindow(native);
    if (DestroyWindow(native) == FALSE) {
        return false;
    }
    win32::ForgetWindow(native);
    win32::ForgetLookups(native);
    return true;
}

bool PostNotification(WindowHandle window, std::uint32_t message, std::intptr_t wParam,
                      std::intptr_t lParam) {
    return PostMessageA(win32::ToWindow(window), message, static_cast<WPARAM>(wParam), lParam) !=
           FALSE;
}

bool PeekNotification(WindowHandle window, std::uint32_t message, std::intptr_t* wParam,
                      std::intptr_t* lParam) {
    MSG msg;
    if (!PeekMessageA(&msg, win32::ToWindow(window), message, message, PM_NOREMOVE | PM_NOYIELD)) {
        return false;
    }
    *wParam = static_cast<std::intptr_t>(msg.wParam);
    *lParam = msg.lParam;
    return true;
}

}  // namespace zonbode::net::sys
