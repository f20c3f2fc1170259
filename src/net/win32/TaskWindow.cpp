#include "net/win32/TaskWindow.h"

#include <mutex>

#include "net/TaskHandOver.h"
#include "net/win32/Win32Handles.h"

namespace zonbode::net::win32 {
namespace {

constexpr UINT kTaskMessage = WM_APP + 1;

struct Tasks {
    std::mutex mutex;  // guards the window: other threads post to it
    HWND window = nullptr;
    int users = 0;
};

Tasks& TheTasks() {
    static auto* tasks = new Tasks;
    return *tasks;
}

WNDPROC staticProc = nullptr;

LRESULT CALLBACK TaskWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTaskMessage) {
        TheTaskHandOver().RunNext();
        return 0;
    }
    return CallWindowProcA(staticProc, window, message, wParam, lParam);
}

}  // namespace

void OpenTaskWindow() {
    auto& t = TheTasks();
    if (t.users++ > 0) {
        return;
    }
    HWND window = CreateWindowExA(0, "STATIC", "TASK_WINDOW", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr) {
        staticProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TaskWindowProc)));
    }
    std::lock_guard lock(t.mutex);
    t.window = window;
    TheTaskHandOver().Open();
}

void CloseTaskWindow() {
    auto& t = TheTasks();
    if (t.users == 0 || --t.users > 0) {
        return;
    }
    HWND window = nullptr;
    {
        std::lock_guard lock(t.mutex);
        window = t.window;
        t.window = nullptr;
    }
    TheTaskHandOver().Close();
    if (window != nullptr) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(staticProc));
        DestroyWindow(window);
    }
}

void PostTaskToWindow(std::function<void()> task) {
    auto& t = TheTasks();
    std::lock_guard lock(t.mutex);
    if (t.window == nullptr) {
        return;
    }
    TheTaskHandOver().Push(std::move(task),
                           [&t] { return PostMessageA(t.window, kTaskMessage, 0, 0) != FALSE; });
}

}  // namespace zonbode::net::win32
