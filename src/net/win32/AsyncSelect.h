#pragma once

#include "net/win32/Win32Handles.h"

namespace zonbode::net::win32 {

// Called by the window hook for every message before the portable procedure sees it; gives
// the lParam to deliver. A network event keeps its lParam, except the FD_CLOSE of a
// connection the peer reset that the service reports without an error (wine does): it gets
// WSAECONNRESET, as Windows reports it. Any other message keeps its lParam.
LPARAM CompleteEventReport(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zonbode::net::win32
