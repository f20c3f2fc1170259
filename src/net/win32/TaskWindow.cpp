#include "net/win32/TaskWindow.h"

#include <deque>
#include <exception>
#include <mutex>

#include "net/MessageBoxHook.h"
#include "net/win32/Win32Handles.h"

namespace zonbode::net::win32 {
namespace {

constexpr UINT kTaskMessage = WM_APP + 1;

struct Tasks {
    std::mutex mutex;  // guards everything below: other threads post
    HWND window = nullptr;
    std::deque<std::function<void()>> queue;
    int users = 0;
};

Tasks& TheTasks() {
    static auto* tasks = new Tasks;
    return *tasks;
}

void RunOneTask() {
    std::function<void()> task;
    {
        auto& t = TheTasks();
        std::lock_guard lock(t.mutex);
        if (t.queue.empty()) {
            return;
        }
        task = std::move(t.queue.front());
        t.queue.pop_front();
    }
    // An exception cannot unwind through the system's dispatch code.
    try {
        task();
    } catch (const std::exception& error) {
        WriteErrorLine(error.what(), "EventLoop.PostTask");
    } catch (...) {
        WriteErrorLine("unknown error", "EventLoop.PostTask");
    }
}

WNDPROC staticProc = nullptr;

LRESULT CALLBACK TaskWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTaskMessage) {
        RunOneTask();
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
        t.queue.clear();
    }
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
    t.queue.push_back(std::move(task));
    if (PostMessageA(t.window, kTaskMessage, 0, 0) == FALSE) {
        t.queue.pop_back();
    }
}

}  // namespace zonbode::net::win32
