#pragma once

#include "net/win32/Win32Handles.h"

// The hook behind SetWindowProc: a native window procedure that calls the portable one.
namespace zonbode::net::win32 {

// True while a hooked procedure is handling a message.
bool InsideHookedProc();

// An exception cannot unwind through the system's dispatch code, so the hook catches it
// and the loop that dispatched the message rethrows it here, as if the procedure had been
// called directly.
void RethrowEscapedException();

// Puts back the window's native procedure before it is destroyed, so that the portable
// procedure sees none of the destruction messages.
void UnhookWindow(HWND window);

}  // namespace zonbode::net::win32
