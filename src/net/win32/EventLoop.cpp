// The loop of the Windows build is the thread's message queue: Winsock posts the socket
// layer's notifications to the notification window, and the loop timers are thread timers
// (SetTimer without a window) whose WM_TIMER messages call back into the table below.
// Front-ends run their own message loop and need nothing from here.

#include <algorithm>
#include <map>
#include <memory>

#include "net/EventLoop.h"
#include "net/win32/TaskWindow.h"
#include "net/win32/WindowProcHook.h"

namespace zonbode::net::EventLoop {
namespace {

using Clock = std::chrono::steady_clock;

struct LoopTimer {
    UINT_PTR systemId;
    std::shared_ptr<std::function<void()>> onTick;
};

struct Timers {
    std::map<TimerId, LoopTimer> active;
    TimerId nextId = 1;
};

Timers& TheTimers() {
    static auto* timers = new Timers;
    return *timers;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR systemId, DWORD) {
    for (const auto& [id, timer] : TheTimers().active) {
        if (timer.systemId == systemId) {
            auto onTick = timer.onTick;  // the tick may remove its own timer
            (*onTick)();
            return;
        }
    }
}

// Takes one message from the queue and dispatches it. False when the queue is empty or the
// message was WM_QUIT, which is put back for the caller's own loop.
bool DispatchOne() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    win32::RethrowEscapedException();
    return true;
}

}  // namespace

int PollDescriptor() {
    return -1;
}

void ProcessPending() {
    if (win32::InsideHookedProc()) {
        return;  // never inside a notification's handler
    }
    // Only what is queued now: messages that the handlers post wait for the next call.
    DWORD queued = GetQueueStatus(QS_ALLINPUT);
    for (int budget = std::max<int>(HIWORD(queued), 1) + 16; budget > 0; --budget) {
        if (!DispatchOne()) {
            break;
        }
    }
}

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    if (win32::InsideHookedProc()) {
        return done();  // a handler cannot wait for notifications that queue behind it
    }
    while (true) {
        if (done()) {
            return true;
        }
        while (Clock::now() < deadline && DispatchOne()) {
            if (done()) {
                return true;
            }
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return done();
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left.count()) + 1, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

TimerId AddTimer(std::chrono::milliseconds interval, std::function<void()> onTick) {
    auto& timers = TheTimers();
    auto ms = static_cast<UINT>(
        std::clamp<std::int64_t>(interval.count(), USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM));
    UINT_PTR systemId = SetTimer(nullptr, 0, ms, &OnTimer);
    if (systemId == 0) {
        return 0;
    }
    TimerId id = timers.nextId++;
    timers.active.emplace(
        id, LoopTimer{systemId, std::make_shared<std::function<void()>>(std::move(onTick))});
    return id;
}

void RemoveTimer(TimerId id) {
    auto& timers = TheTimers();
    auto it = timers.active.find(id);
    if (it != timers.active.end()) {
        KillTimer(nullptr, it->second.systemId);
        timers.active.erase(it);
    }
}

void PostTask(std::function<void()> task) {
    win32::PostTaskToWindow(std::move(task));
}

}  // namespace zonbode::net::EventLoop
