#pragma once

#include <cstdint>
#include <string>

#include "net/SocketApi.h"

// What tests look at and drive inside the socket layer: read-only views of the runtime's
// state, the router on a window of the test's own, and the notification queue seen from
// outside. A program has no use for any of it; its face is modNetSocket.h and CNetSocket.h.

namespace zonbode::net::modNetSocket {

std::int32_t UserCount();
bool ServiceStarted();
sys::WindowHandle WindowHandle();  // 0 while there is no notification window
bool SocketCollectionExists();
bool AcceptCollectionExists();
std::int32_t SocketRouteCount();
std::int32_t SocketRouteHandle(std::int32_t slot);  // slots 1..count; -1 for a free slot
std::int32_t ResolutionRouteCount();
std::int32_t ResolutionRouteHandle(std::int32_t slot);
// Errors that left an object's WndProc while the router dispatched.
std::int32_t RoutedErrorCount();
std::string LastRoutedError();

// Hooks the router onto a notification window (its procedure so far receives every other
// message) and takes it off again, emptying the route tables. RegisterSocket and
// UnregisterSocket do this for the runtime's own window.
bool AttachRouter(sys::WindowHandle window);
bool DetachRouter();

// Hands one notification of the runtime's window to the router at once, as a nested
// message loop would while a handler runs.
void RouteNow(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam);

}  // namespace zonbode::net::modNetSocket

namespace zonbode::net::sys {

// Queues a message for the window, behind everything already queued (PostMessage on
// Windows). False when the window does not exist.
bool PostNotification(WindowHandle window, std::uint32_t message, std::intptr_t wParam,
                      std::intptr_t lParam);

// Looks at the first message with this number queued for the window, without taking it or
// handling anything; false when none waits. The POSIX backend first turns the sockets'
// current readiness into notifications, as its loop would before dispatching.
bool PeekNotification(WindowHandle window, std::uint32_t message, std::intptr_t* wParam,
                      std::intptr_t* lParam);

}  // namespace zonbode::net::sys
