// Subclassing a window: a native window procedure (the thunk) looks up the portable
// procedure installed for the window and calls it with the four message values. The previous
// procedure is kept by the caller and reached through CallWindowProcA.

#include <algorithm>
#include <exception>
#include <vector>

#include "net/SocketApi.h"
#include "net/win32/WindowProcHook.h"

namespace zonbode::net::win32 {
namespace {

struct HookedWindow {
    HWND window;
    sys::WindowProc proc;
};

struct HookState {
    // A handful of windows at most (normally one), searched linearly.
    std::vector<HookedWindow> windows;
    int depth = 0;
    std::exception_ptr escaped;
};

HookState& TheHooks() {
    static auto* state = new HookState;
    return *state;
}

sys::WindowProc ProcFor(HWND window) {
    for (const auto& hooked : TheHooks().windows) {
        if (hooked.window == window) {
            return hooked.proc;
        }
    }
    return nullptr;
}

LRESULT CALLBACK Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    sys::WindowProc proc = ProcFor(window);
    if (proc == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    auto& hooks = TheHooks();
    ++hooks.depth;
    LRESULT result = 0;
    try {
        result = proc(FromWindow(window), message, static_cast<std::intptr_t>(wParam), lParam);
    } catch (...) {
        if (!hooks.escaped) {
            hooks.escaped = std::current_exception();
        }
    }
    --hooks.depth;
    return result;
}

}  // namespace

bool InsideHookedProc() {
    return TheHooks().depth > 0;
}

void RethrowEscapedException() {
    auto& hooks = TheHooks();
    if (hooks.escaped) {
        std::exception_ptr escaped = hooks.escaped;
        hooks.escaped = nullptr;
        std::rethrow_exception(escaped);
    }
}

void ForgetHookedWindow(HWND window) {
    auto& windows = TheHooks().windows;
    std::erase_if(windows,
                  [window](const HookedWindow& hooked) { return hooked.window == window; });
}

}  // namespace zonbode::net::win32

namespace zonbode::net::sys {

std::intptr_t SetWindowProc(WindowHandle window, WindowProc proc) {
    HWND native = win32::ToWindow(window);
    if (proc == nullptr || !IsWindow(native)) {
        return 0;
    }
    auto& windows = win32::TheHooks().windows;
    // Record the procedure first: the window may receive a message as soon as it is hooked.
    win32::ForgetHookedWindow(native);
    windows.push_back({native, proc});
    LONG_PTR previous =
        SetWindowLongPtrA(native, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&win32::Thunk));
    if (previous == 0) {
        win32::ForgetHookedWindow(native);
    }
    return previous;
}

void RestoreWindowProc(WindowHandle window, std::intptr_t previous) {
    HWND native = win32::ToWindow(window);
    if (previous != 0 && IsWindow(native)) {
        SetWindowLongPtrA(native, GWLP_WNDPROC, previous);
    }
    win32::ForgetHookedWindow(native);
}

std::intptr_t CallPreviousWindowProc(std::intptr_t previous, WindowHandle window,
                                     std::uint32_t message, std::intptr_t wParam,
                                     std::intptr_t lParam) {
    if (previous == 0) {
        return DefWindowProcA(win32::ToWindow(window), message, static_cast<WPARAM>(wParam),
                              lParam);
    }
    return CallWindowProcA(reinterpret_cast<WNDPROC>(previous), win32::ToWindow(window), message,
                           static_cast<WPARAM>(wParam), lParam);
}

}  // namespace zonbode::net::sys
