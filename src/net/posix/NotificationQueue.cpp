// The queue behind the notification windows of the POSIX build, which the loop's thread
// drains one message at a time. The queue is signalled through an eventfd inside the loop's
// epoll set, so the epoll descriptor is readable while messages wait.

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <mutex>

#include "net/TaskHandOver.h"
#include "net/posix/Endpoint.h"

namespace zonbode::net::posix {
namespace {

struct Queue {
    std::mutex mutex;  // guards messages and signalled, and the descriptors' opening
    int epoll = -1;    // both -1 until opened on the loop's thread (EnsureQueue)
    int wake = -1;
    std::deque<Message> messages;
    bool signalled = false;

    bool dispatching = false;  // loop thread only
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
    if (open) {
        TheTaskHandOver().Open();
        return;
    }
    TheTaskHandOver().Close();
    DropIf([](const Message& m) { return m.window == kTaskWindow; });
}

void PostTask(std::function<void()> task) {
    TheTaskHandOver().Push(std::move(task), [] {
        PostMessage(Message{});  // for kTaskWindow
        return true;
    });
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
        if (m.window == kTaskWindow) {
            DispatchGuard guard(q);
            TheTaskHandOver().RunNext();
            continue;
        }
        if (m.lookupTicket != 0 &&
            !FinishLookup(static_cast<std::int32_t>(m.wParam), m.lookupTicket, &m.lParam)) {
            continue;  // cancelled meanwhile
        }
        sys::WindowProc proc = WindowProcOf(m.window);
        if (proc == nullptr) {
            continue;  // the window is gone; so is everything that was meant for it
        }
        DispatchGuard guard(q);
        proc(m.window, m.message, m.wParam, m.lParam);
    }
    return taken;
}

bool FindQueued(sys::WindowHandle window, std::uint32_t message, Message* found) {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    for (const Message& m : q.messages) {
        if (m.window == window && m.message == message) {
            *found = m;
            return true;
        }
    }
    return false;
}

}  // namespace zonbode::net::posix
