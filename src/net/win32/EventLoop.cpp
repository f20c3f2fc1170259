// The loop of the Windows build is the thread's message queue: Winsock posts the socket
// layer's notifications to the notification window. RunUntil also drives the loop timers.
// Front-ends run their own message loop and need nothing from here.

#include <algorithm>
#include <cstdint>

#include "net/EventLoop.h"
#include "net/EventLoopTimers.h"
#include "net/win32/TaskWindow.h"
#include "net/win32/WindowProcHook.h"

namespace zonbode::net::EventLoop {
namespace {

using Clock = std::chrono::steady_clock;

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
            if (TickDueTimers(done)) {
                return true;  // timers keep their turn under a steady stream
            }
        }
        if (TickDueTimers(done)) {
            return true;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return done();
        }
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(NextTimerDue(deadline) - now);
        MsgWaitForMultipleObjectsEx(0, nullptr,
                                    static_cast<DWORD>(std::max<std::int64_t>(left.count(), 0)) + 1,
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

void PostTask(std::function<void()> task) {
    win32::PostTaskToWindow(std::move(task));
}

}  // namespace zonbode::net::EventLoop
