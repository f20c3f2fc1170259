#pragma once

#include "net/win32/Win32Handles.h"

namespace zonbode::net::win32 {

// Called by the window hook for every message before the portable procedure sees it. For
// the completion of a lookup started by AsyncGetHostByName it hands the result to the
// requester's buffer, or returns false when the lookup was cancelled: the message is then
// dropped. Any other message passes (true).
bool AcceptLookupCompletion(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The window is gone, and the completions of its lookups with it.
void ForgetLookups(HWND window);

}  // namespace zonbode::net::win32
