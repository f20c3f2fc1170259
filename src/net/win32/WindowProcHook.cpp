// Subclassing a window: a native window procedure (the thunk) looks up the portable
// procedure installed for the window and calls it with the four message values.
//
// The value SetWindowProc returns stands for the procedure it replaced: the system's own
// (a native procedure, reached through CallWindowProcA) or, when the window was already
// hooked, the portable procedure before it, which is then called directly. Procedures can so
// be chained and put back in any order, as with plain window procedures.

#include <algorithm>
#include <exception>
#include <vector>

#include "net/SocketApi.h"
#include "net/win32/AsyncLookups.h"
#include "net/win32/AsyncSelect.h"
#include "net/win32/WindowProcHook.h"

namespace zonbode::net::win32 {
namespace {

struct HookedWindow {
    HWND window;
    LONG_PTR original;  // the native procedure the thunk replaced
    sys::WindowProc proc;
};

struct HookState {
    // A handful of windows at most (normally one), searched linearly.
    std::vector<HookedWindow> windows;
    // Every portable procedure ever installed: tells them from native procedures.
    std::vector<sys::WindowProc> portableProcs;
    int depth = 0;
    std::exception_ptr escaped;
};

HookState& TheHooks() {
    static auto* state = new HookState;
    return *state;
}

HookedWindow* Find(HWND window) {
    for (auto& hooked : TheHooks().windows) {
        if (hooked.window == window) {
            return &hooked;
        }
    }
    return nullptr;
}

sys::WindowProc AsPortableProc(std::intptr_t value) {
    for (sys::WindowProc proc : TheHooks().portableProcs) {
        if (reinterpret_cast<std::intptr_t>(proc) == value) {
            return proc;
        }
    }
    return nullptr;
}

void Forget(HWND window) {
    std::erase_if(TheHooks().windows,
                  [window](const HookedWindow& hooked) { return hooked.window == window; });
}

LRESULT CALLBACK Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HookedWindow* hooked = Find(window);
    if (hooked == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!AcceptEventReport(window, message, wParam, lParam)) {
        return 0;  // an event of a closed socket, or the marker behind them
    }
    if (!AcceptLookupCompletion(window, message, wParam, lParam)) {
        return 0;  // the completion of a cancelled lookup
    }
    lParam = CompleteEventReport(window, message, wParam, lParam);
    sys::WindowProc proc = hooked->proc;
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

void UnhookWindow(HWND window) {
    if (HookedWindow* hooked = Find(window)) {
        if (IsWindow(window)) {
            SetWindowLongPtrA(window, GWLP_WNDPROC, hooked->original);
        }
        Forget(window);
    }
}

}  // namespace zonbode::net::win32

namespace zonbode::net::sys {

using win32::TheHooks;

std::intptr_t SetWindowProc(WindowHandle window, WindowProc proc) {
    HWND native = win32::ToWindow(window);
    if (proc == nullptr || !IsWindow(native)) {
        return 0;
    }
    auto& hooks = TheHooks();
    if (win32::AsPortableProc(reinterpret_cast<std::intptr_t>(proc)) == nullptr) {
        hooks.portableProcs.push_back(proc);
    }
    if (win32::HookedWindow* hooked = win32::Find(native)) {
        WindowProc before = hooked->proc;
        hooked->proc = proc;
        return reinterpret_cast<std::intptr_t>(before);
    }
    // Record the procedure first: the window may receive a message as soon as it is hooked.
    hooks.windows.push_back({native, 0, proc});
    LONG_PTR original =
        SetWindowLongPtrA(native, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&win32::Thunk));
    if (original == 0) {
        win32::Forget(native);
        return 0;
    }
    win32::Find(native)->original = original;
    return original;
}

void RestoreWindowProc(WindowHandle window, std::intptr_t previous) {
    HWND native = win32::ToWindow(window);
    win32::HookedWindow* hooked = win32::Find(native);
    if (WindowProc portable = win32::AsPortableProc(previous); portable && hooked) {
        hooked->proc = portable;
        return;
    }
    if (previous != 0 && IsWindow(native)) {
        SetWindowLongPtrA(native, GWLP_WNDPROC, previous);
    }
    win32::Forget(native);
}

std::intptr_t CallPreviousWindowProc(std::intptr_t previous, WindowHandle window,
                                     std::uint32_t message, std::intptr_t wParam,
                                     std::intptr_t lParam) {
    if (WindowProc portable = win32::AsPortableProc(previous)) {
        return portable(window, message, wParam, lParam);
    }
    if (previous == 0) {
        return DefWindowProcA(win32::ToWindow(window), message, static_cast<WPARAM>(wParam),
                              lParam);
    }
    return CallWindowProcA(reinterpret_cast<WNDPROC>(previous), win32::ToWindow(window), message,
                           static_cast<WPARAM>(wParam), lParam);
}

}  // namespace zonbode::net::sys
