// The notification windows of the POSIX build: logical endpoints with a window procedure,
// fed by one queue that the loop's thread drains one message at a time. The queue is
// signalled through an eventfd inside the loop's epoll set, so the epoll descriptor is
// readable while messages wait.

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <exception>
#include <map>
#include <mutex>

#include "net/Diagnostics.h"
#include "net/MessageBoxHook.h"
#include "net/WindowsSocketsCodes.h"
#include "net/posix/Endpoint.h"

namespace zonbode::net::posix {
namespace {

std::intptr_t DefaultWindowProc(sys::WindowHandle, std::uint32_t, std::intptr_t, std::intptr_t) {
    return 0;
}

struct Queue {
    std::mutex mutex;  // guards messages and signalled, and the descriptors' opening
    int epoll = -1;    // both -1 until opened on the loop's thread (EnsureQueue)
    int wake = -1;
    std::deque<Message> messages;
    bool signalled = false;
    bool tasksOpen = false;

    // Loop thread only.
    std::map<sys::WindowHandle, sys::WindowProc> windows;
    sys::WindowHandle nextWindow = 1;
    bool dispatching = false;
};

// Lives for the whole process (resolver threads may still post while it exits).
Queue& TheQueue() {
    static Queue* queue = new Queue;
    return *queue;
}

// Wakes the loop when messages start waiting. The wake-up is taken back only when the loop
// finds the queue empty (ClearWakeIfIdle), so a steady stream costs no system call per message.
void SignalLocked(Queue& q) {
    if (!q.signalled && !q.messages.empty() && q.wake >= 0) {
        std::uint64_t one = 1;
        [[maybe_unused]] auto n = write(q.wake, &one, sizeof one);
        q.signalled = true;
    }
}

template <typename Predicate>
void DropIf(Predicate drop) {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    std::erase_if(q.messages, drop);
}

// A task's failure reaches no caller of its own: it is written out, and the loop goes on.
void RunTask(const std::function<void()>& task) {
    try {
        task();
    } catch (const std::exception& error) {
        WriteErrorLine(error.what(), "EventLoop.PostTask");
    } catch (...) {
        WriteErrorLine("unknown error", "EventLoop.PostTask");
    }
}

class DispatchGuard {
public:
    explicit DispatchGuard(Queue& q) : q_(q) { q_.dispatching = true; }
    ~DispatchGuard() { q_.dispatching = false; }
    DispatchGuard(const DispatchGuard&) = delete;
    DispatchGuard& operator=(const DispatchGuard&) = delete;

private:
    Queue& q_;
};

}  // namespace

bool EnsureQueue() {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    if (q.epoll >= 0) {
        return true;
    }
    const int epoll = epoll_create1(EPOLL_CLOEXEC);
    const int wake = epoll >= 0 ? eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK) : -1;
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = wake;
    if (wake < 0 || epoll_ctl(epoll, EPOLL_CTL_ADD, wake, &event) != 0) {
        const int error = errno;
        if (wake >= 0) {
            close(wake);
        }
        if (epoll >= 0) {
            close(epoll);
        }
        SetLastError(WsaCodeFromErrno(error));
        return false;
    }
    q.epoll = epoll;
    q.wake = wake;
    SignalLocked(q);  // for whatever was posted before
    return true;
}

// The loop's thread opens the descriptors, so it reads them without the lock.
int EpollDescriptor() {
    return TheQueue().epoll;
}
int WakeDescriptor() {
    return TheQueue().wake;
}

void PostMessage(const Message& message) {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    q.messages.push_back(message);
    SignalLocked(q);
}

void OpenTasks(bool open) {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    q.tasksOpen = open;
    if (!open) {
        std::erase_if(q.messages, [](const Message& m) { return m.task != nullptr; });
    }
}

void PostTask(std::function<void()> task) {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    if (!q.tasksOpen) {
        return;
    }
    Message m;
    m.task = std::make_shared<const std::function<void()>>(std::move(task));
    q.messages.push_back(std::move(m));
    SignalLocked(q);
}

void DropSocketMessages(sys::Handle socket) {
    DropIf([socket](const Message& m) { return m.socket == socket; });
}

void DropWindowMessages(sys::WindowHandle window) {
    DropIf([window](const Message& m) { return m.window == window; });
}

void ClearWakeIfIdle() {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    if (q.signalled && q.messages.empty()) {
        std::uint64_t value = 0;
        [[maybe_unused]] auto n = read(q.wake, &value, sizeof value);
        q.signalled = false;
    }
}

bool Dispatching() {
    return TheQueue().dispatching;
}

std::size_t QueuedCount() {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    return q.messages.size();
}

std::size_t DispatchQueued(std::size_t limit) {
    Queue& q = TheQueue();
    if (q.dispatching) {
        return 0;
    }
    std::size_t taken = 0;
    while (taken < limit) {
        Message m;
        {
            std::lock_guard lock(q.mutex);
            if (q.messages.empty()) {
                break;
            }
            m = q.messages.front();
            q.messages.pop_front();
        }
        ++taken;
        if (m.task) {
            DispatchGuard guard(q);
            RunTask(*m.task);
            continue;
        }
        if (m.lookupTicket != 0 &&
            !FinishLookup(static_cast<std::int32_t>(m.wParam), m.lookupTicket, &m.lParam)) {
            continue;  // cancelled meanwhile
        }
        auto window = q.windows.find(m.window);
        if (window == q.windows.end()) {
            continue;  // the window is gone; so is everything that was meant for it
        }
        sys::WindowProc proc = window->second;
        DispatchGuard guard(q);
        proc(m.window, m.message, m.wParam, m.lParam);
    }
    return taken;
}

}  // namespace zonbode::net::posix

namespace zonbode::net::sys {

using posix::TheQueue;

WindowHandle CreateNotificationWindow() {
    auto& q = TheQueue();
    WindowHandle handle = q.nextWindow++;
    q.windows.emplace(handle, &posix::DefaultWindowProc);
    return handle;
}

bool DestroyNotificationWindow(WindowHandle window) {
    auto& q = TheQueue();
    if (q.windows.erase(window) == 0) {
        posix::SetLastError(WsaCode("WSAEINVAL"));
        return false;
    }
    posix::DropWindowMessages(window);
    return true;
}

std::intptr_t SetWindowProc(WindowHandle window, WindowProc proc) {
    auto& q = TheQueue();
    auto it = q.windows.find(window);
    if (it == q.windows.end() || proc == nullptr) {
        return 0;
    }
    auto previous = reinterpret_cast<std::intptr_t>(it->second);
    it->second = proc;
    return previous;
}

void RestoreWindowProc(WindowHandle window, std::intptr_t previous) {
    auto& q = TheQueue();
    auto it = q.windows.find(window);
    if (it != q.windows.end() && previous != 0) {
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
    if (TheQueue().windows.count(window) == 0) {
        posix::SetLastError(WsaCode("WSAEINVAL"));
        return false;
    }
    posix::PostMessage({window, message, wParam, lParam, 0, kInvalidSocket});
    return true;
}

bool PeekNotification(WindowHandle window, std::uint32_t message, std::intptr_t* wParam,
                      std::intptr_t* lParam) {
    posix::GatherReadiness(0);
    auto& q = TheQueue();
    std::lock_guard lock(q.mutex);
    for (const posix::Message& m : q.messages) {
        if (m.window == window && m.message == message) {
            *wParam = m.wParam;
            *lParam = m.lParam;
            return true;
        }
    }
    return false;
}

}  // namespace zonbode::net::sys
