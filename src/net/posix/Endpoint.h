#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "net/SocketApi.h"

// What the POSIX backend's files share: the notification queue behind the logical windows,
// the readiness tracking of subscribed sockets, the resolver's hand-over on the loop thread
// and the Windows Sockets error code of the calling thread.
namespace zonbode::net::posix {

// One queued notification. A lookup completion carries the ticket of its lookup, so that a
// completion whose lookup was cancelled meanwhile can be recognised and dropped.
struct Message {
    sys::WindowHandle window = 0;
    std::uint32_t message = 0;
    std::intptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::uint64_t lookupTicket = 0;
    sys::Handle socket = sys::kInvalidSocket;  // the socket a network event is about
};

// A message for no window (handles start at 1) stands for the next task handed over from
// another thread (EventLoop::PostTask), so tasks keep their place among the notifications.
inline constexpr sys::WindowHandle kTaskWindow = 0;

// Error codes (ErrorCodes.cpp; the last error itself: Service.cpp).
void SetLastError(int code);
int WsaCodeFromErrno(int error);
int WsaCodeFromLookupFailure(int eaiCode, int savedErrno);
// Sets the last error from errno and returns kSocketError, for one-line failure paths.
int FailFromErrno();

// The queue (NotificationQueue.cpp). PostMessage may be called from any thread; everything
// else runs on the loop's thread.
// Opens the queue's epoll set and wake-up eventfd on first need; false, with the last error
// set, while the system refuses them (they are tried again at the next call).
bool EnsureQueue();
int EpollDescriptor();  // -1 while the queue is not open
int WakeDescriptor();
void PostMessage(const Message& message);
// Tasks are taken while the service runs; closing drops the ones still queued.
void OpenTasks(bool open);
void PostTask(std::function<void()> task);
void DropSocketMessages(sys::Handle socket);
void DropWindowMessages(sys::WindowHandle window);
// Dispatches up to `limit` queued messages, one at a time; returns how many were taken.
// Refuses (returns 0) while a message's handler runs.
std::size_t DispatchQueued(std::size_t limit);
std::size_t QueuedCount();
bool Dispatching();
// Takes back the loop's wake-up once nothing waits any more.
void ClearWakeIfIdle();
// The first queued message for the window with this number, left in the queue.
bool FindQueued(sys::WindowHandle window, std::uint32_t message, Message* found);

// The windows (NotificationWindow.cpp): a window's procedure, nullptr once it is gone.
sys::WindowProc WindowProcOf(sys::WindowHandle window);

// Readiness of subscribed sockets (AsyncSelect.cpp).
// Waits up to timeoutMs (0: just looks) for readiness and turns it into queued events.
void GatherReadiness(int timeoutMs);
void NoteSocketCreated(sys::Handle socket, bool datagram);
void NoteSocketClosed(sys::Handle socket);
bool IsDatagramSocket(sys::Handle socket);
bool IsSubscribed(sys::Handle socket);
// completed: the connect call itself succeeded (a blocking socket, or a quick loopback).
void NoteConnectStarted(sys::Handle socket, bool completed);
void NoteListening(sys::Handle socket);
void NoteAccepted(sys::Handle listener, sys::Handle accepted);
// outOfDescriptors: the call failed for want of a descriptor (or memory); FD_ACCEPT then waits
// until a socket closes or a short while has passed.
void NoteAcceptCalled(sys::Handle listener, bool outOfDescriptors);
void NoteReceiveCalled(sys::Handle socket);
void NoteSendWouldBlock(sys::Handle socket);
void NoteConnectionBroken(sys::Handle socket, int wsaCode);
int Subscribe(sys::Handle socket, sys::WindowHandle window, std::uint32_t message,
              std::int32_t events);

// Lookups (AsyncLookups.cpp): called when a completion is dispatched; copies the result into the
// requester's buffer and gives the lParam to deliver, or returns false when the lookup was
// cancelled and the completion must be dropped.
bool FinishLookup(std::int32_t lookupHandle, std::uint64_t ticket, std::intptr_t* lParam);

}  // namespace zonbode::net::posix
